#!/bin/sh
# Benchmarks of the launcher: executable size, launch overhead, memory and
# CPU use under Wine, the logic's cost on the host (callgrind instruction
# counts and Google Benchmark times), and the startup cache on the host's
# real Java VMs. Prints the tables and writes them to
# docs/benchmarks.md.
#
#   scripts/bench.sh [--runs N] [--skip-wine] [--skip-cache] [--compare NAME=path/to/launcher.exe]
#
# Installs valgrind and Google Benchmark from Debian when they are missing
# (needs root), then builds build/host, build/win32 and build/win64. The
# Wine part times the 32-bit launcher, or the 64-bit one where 32-bit
# programs cannot run (tests/e2e/wine_machine.py); the report says which.
set -eu
cd "$(dirname "$0")/.."

missing=""
command -v valgrind >/dev/null 2>&1 || missing="$missing valgrind"
[ -f /usr/include/benchmark/benchmark.h ] || missing="$missing libbenchmark-dev"
if [ -n "$missing" ]; then
  echo "installing:$missing"
  apt-get install -y $missing >/dev/null
fi

[ -f build/host/build.ninja ] || cmake -S . -B build/host -G Ninja
cmake --build build/host --target logic_cost logic_bench launcher-brand cache_start
[ -f build/win32/build.ninja ] ||
  cmake -S . -B build/win32 -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake
cmake --build build/win32
[ -f build/win64/build.ninja ] ||
  cmake -S . -B build/win64 -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake
cmake --build build/win64

exec python3 bench/make_report.py "$@"
