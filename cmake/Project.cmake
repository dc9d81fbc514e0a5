# Warnings are errors on every compiler the project builds with.
if(MSVC)
    add_compile_options(/W4 /WX)
    add_compile_definitions(_CRT_SECURE_NO_WARNINGS)
else()
    add_compile_options(-Wall -Wextra -Werror)
endif()

# Adds every immediate subdirectory of the current source directory that holds
# a CMakeLists.txt, so that each area (model, image, render, ...) owns its own.
macro(viewer_add_area_subdirectories)
    file(GLOB _viewer_areas LIST_DIRECTORIES true RELATIVE ${CMAKE_CURRENT_SOURCE_DIR}
         ${CMAKE_CURRENT_SOURCE_DIR}/*)
    list(SORT _viewer_areas)
    foreach(_viewer_area IN LISTS _viewer_areas)
        if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${_viewer_area}/CMakeLists.txt)
            add_subdirectory(${_viewer_area})
        endif()
    endforeach()
endmacro()

# MSVC: the static C and C++ runtime, so the viewer needs only the system's
# DLLs, as the MinGW build does with -static.
if(MSVC)
    set(CMAKE_MSVC_RUNTIME_LIBRARY "MultiThreaded$<$<CONFIG:Debug>:Debug>")
endif()
