#!/usr/bin/env bash
# Builds the Windows launcher (build/win32/launcher.exe), its 64-bit flavour
# (build/win64/launcher.exe) and the host build with the unit tests
# (build/host).
set -euo pipefail
cd "$(dirname "$0")/.."

cmake -S . -B build/win32 -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake >/dev/null
cmake --build build/win32
cmake -S . -B build/win64 -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake >/dev/null
# launcher-brand.exe too: the release ships the 32-bit one, and where 32-bit
# programs cannot run, the 64-bit end-to-end runs use the 64-bit one.
cmake --build build/win64 --target all launcher-brand
cmake -S . -B build/host -G Ninja >/dev/null
cmake --build build/host
