#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing need.
# Quick when they are all present; otherwise apt-get update, then install.
set -euo pipefail

PACKAGES=(
    # native build, tests, benchmarks
    build-essential cmake ninja-build pkg-config libgtest-dev libbenchmark-dev
    # offscreen OpenGL for tests and tools
    libosmesa6-dev libglu1-mesa-dev
    # fuzzing and sanitizers
    clang libclang-rt-14-dev clang-format
    # the Windows program: cross compiler, Wine, a virtual display and its tools
    g++-mingw-w64-x86-64 wine wine64 xvfb xdotool x11-utils imagemagick
    # independent decoders and encoders the tests compare against
    libjpeg-turbo-progs libjpeg62-turbo-dev libstb-dev lib3ds-dev
    # the asset generator
    libfreetype-dev fonts-dejavu-core
    # the end-to-end helpers that probe the X server
    libx11-dev libxfixes-dev
)

missing=()
for package in "${PACKAGES[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$package")
    fi
done

if [ ${#missing[@]} -eq 0 ]; then
    echo "install_deps: all ${#PACKAGES[@]} packages present"
    exit 0
fi

echo "install_deps: installing ${missing[*]}"
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
$SUDO apt-get update -q
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q "${missing[@]}"
