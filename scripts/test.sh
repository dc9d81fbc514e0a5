#!/usr/bin/env bash
# Builds everything and runs every test:
#   1. installs the Debian packages it needs and checks the formatting,
#   2. native build (g++) of the libraries, tools, tests and benchmarks; runs the tests,
#      then the same again as a Release (-O3) build, whose optimiser warns and folds differently,
#   3. cross-compiles the Windows build with MinGW-w64, makes the release zip and runs the
#      viewer's end-to-end tests under Wine on a virtual display (scripts/e2e.sh), the
#      program also as unpacked from the zip into a folder with a non-ASCII name,
#   4. builds the libFuzzer targets (clang) and runs each for a short smoke run,
#   5. runs the tests again in an AddressSanitizer + UndefinedBehaviorSanitizer build,
#      whose summary closes the output.
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT=$(pwd)
JOBS=$(nproc)
FUZZ_SECONDS=${FUZZ_SECONDS:-30}

step() { printf '\n=== %s ===\n' "$*"; }

step "Packages"
scripts/install_deps.sh

step "Formatting (.clang-format)"
git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run --Werror

step "Native build"
cmake -S . -B build/native -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVIEWER_BENCH=ON >/dev/null
cmake --build build/native -j "$JOBS"

step "Native tests"
ctest --test-dir build/native -j "$JOBS" --output-on-failure --progress

step "Release build (-O3) and its tests"
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DVIEWER_BENCH=ON >/dev/null
cmake --build build/release -j "$JOBS"
ctest --test-dir build/release -j "$JOBS" --output-on-failure

step "Windows cross build (MinGW-w64)"
cmake -S . -B build/mingw -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-w64-x86_64.cmake" >/dev/null
cmake --build build/mingw -j "$JOBS"

step "Release zip (CPack)"
cmake --build build/mingw --target package
ZIP=$(ls build/mingw/bump_viewer-*-win64.zip)
cmake -E tar tf "$ZIP"

step "End-to-end tests (the viewer under Wine on Xvfb)"
E2E_ZIP="$ROOT/$ZIP" scripts/e2e.sh build/mingw/app/win32/bump_viewer.exe build/native/tests/e2e

step "Fuzz smoke runs (${FUZZ_SECONDS} s each)"
CC=clang CXX=clang++ cmake -S . -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DVIEWER_FUZZ=ON -DVIEWER_TESTS=OFF -DVIEWER_TOOLS=OFF >/dev/null
cmake --build build/fuzz -j "$JOBS"
for fuzzer in build/fuzz/fuzz/*/fuzz_*; do
    [ -x "$fuzzer" ] || continue
    name=$(basename "$fuzzer")
    corpus="build/fuzz/corpus/${name#fuzz_}"
    rm -rf "$corpus" && mkdir -p "$corpus"
    seeds="fuzz/corpus/${name#fuzz_}"
    if [ -d "$seeds" ]; then cp -r "$seeds"/. "$corpus"/; fi
    echo "--- $name"
    mkdir -p build/fuzz/artifacts
    set +e
    "$fuzzer" -max_total_time="$FUZZ_SECONDS" -rss_limit_mb=2048 -timeout=10 -print_final_stats=1 \
        -artifact_prefix=build/fuzz/artifacts/"$name"- "$corpus" >"build/fuzz/$name.log" 2>&1
    status=$?
    set -e
    grep -E '^stat::number_of_executed_units' "build/fuzz/$name.log" || true
    if [ $status -ne 0 ]; then
        tail -n 60 "build/fuzz/$name.log"
        echo "$name failed (exit $status); the input is under build/fuzz/artifacts"
        exit 1
    fi
done

step "Sanitizer build (ASan + UBSan, leak checking on)"
cmake -S . -B build/asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVIEWER_SANITIZE=ON >/dev/null
cmake --build build/asan -j "$JOBS"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
ctest --test-dir build/asan -j "$JOBS" --output-on-failure
