#!/usr/bin/env bash
# Builds the Windows viewer and runs it under Wine with assets/ as its
# working directory, opening MODEL instead of sphere.3ds when one is named:
#   scripts/run.sh [MODEL.3ds]
#   - installs the Debian packages it needs (scripts/install_deps.sh),
#   - cross-compiles build/mingw/app/win32/bump_viewer.exe with MinGW-w64,
#   - with a display ($DISPLAY reachable), opens the window there and returns
#     the viewer's exit code when it is closed,
#   - without one, starts a virtual display (Xvfb), lets the viewer draw for
#     a few seconds, saves the window as build/run/viewer.png, prints that
#     path and ends the viewer with Escape.
# The Wine prefix is build/run/wineprefix-UID: the run's own, whoever runs it.
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT=$(pwd)
DRAW_SECONDS=${DRAW_SECONDS:-4}

scripts/install_deps.sh
cmake -S . -B build/mingw -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-w64-x86_64.cmake" >/dev/null
cmake --build build/mingw --target bump_viewer -j "$(nproc)"
EXE=$ROOT/build/mingw/app/win32/bump_viewer.exe
# The model as a Windows path (Wine's drive Z: is the Linux root).
ARGS=()
if [ $# -gt 0 ]; then
    model=$(realpath "$1")
    ARGS=("Z:${model//\//\\}")
fi

source tests/e2e/e2e_lib.sh
export E2E_WINEPREFIX=$ROOT/build/run/wineprefix-$(id -u)

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
    export WINEPREFIX=$E2E_WINEPREFIX WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        echo "run: creating the Wine prefix $WINEPREFIX (the first time takes a while)"
        wineboot -i >/dev/null 2>&1 || true
    fi
    echo "run: starting the viewer on $DISPLAY"
    cd assets
    # Wine reads Linux file names through the locale: UTF-8 keeps folders of any name readable.
    exec env LC_ALL=C.UTF-8 wine "$EXE" "${ARGS[@]}"
fi

# No display: a virtual one, a screenshot, then Escape.
trap e2e_teardown EXIT
trap "exit 1" INT TERM
e2e_setup "$ROOT/build/run/headless"
echo "run: no display; drawing on the virtual display $DISPLAY"
e2e_start_viewer "$EXE" "$ROOT/assets" -- "${ARGS[@]}"
window=$(e2e_wait_window OpenGL) || { echo "run: the viewer opened no window" >&2; exit 1; }
xdotool windowfocus "$window" 2>/dev/null || true
read -r x y w h < <(e2e_geometry "$window")
# The first frame: the window's black background gives way to the scene.
shot=$ROOT/build/run/viewer.png
deadline=$((SECONDS + E2E_TIMEOUT))
until [ "$(import -window root -crop "${w}x${h}+${x}+${y}" -format '%[fx:int(1000*mean)]' info:)" -gt 5 ]; do
    if [ $SECONDS -ge $deadline ]; then echo "run: nothing drawn" >&2; break; fi
    sleep 0.1
done
sleep "$DRAW_SECONDS"
# A start-up message box (a missing OpenGL extension) is shown as it is.
if [ "$(xdotool search --onlyvisible --name '^OpenGL$' | wc -l)" -gt 1 ]; then
    import -window root "$shot"
else
    import -window root -crop "${w}x${h}+${x}+${y}" +repage "$shot"
fi
echo "run: screenshot $shot"
xdotool key Escape
e2e_wait_exit
if [ "$E2E_EXIT_CODE" -ne 0 ]; then
    # After a start-up message, OK ends the viewer.
    echo "run: viewer exit code $E2E_EXIT_CODE"
fi
exit "$E2E_EXIT_CODE"
