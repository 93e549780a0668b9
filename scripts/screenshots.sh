#!/usr/bin/env bash
# Regenerates the user guide's pictures of the message boxes
# (docs/images/*.png): builds the Windows launchers, runs one under Wine on an
# Xvfb display in each situation, captures each box and answers it.
# An optional argument names another output folder.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake -S . -B build/win32 -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake >/dev/null
cmake --build build/win32 >/dev/null
# Where 32-bit programs cannot run, the pictures come from the 64-bit launcher.
cmake -S . -B build/win64 -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake >/dev/null
cmake --build build/win64 >/dev/null
exec python3 tests/e2e/screenshots.py "${1:-docs/images}"
