#!/usr/bin/env bash
# Builds the Windows launcher (build/win32/launcher.exe), its 64-bit flavour
# (build/win64/launcher.exe) and the host build with the unit tests
# (build/host).
set -euo pipefail
cd "$(dirname "$0")/.."

cmake -S . -B build/win32 -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake >/dev/null
cmake --build build/win32
cmake -S . -B build/win64 -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake >/dev/null
cmake --build build/win64
cmake -S . -B build/host -G Ninja >/dev/null
cmake --build build/host
