#!/usr/bin/env bash
# Sets up a fresh Debian machine if needed, builds everything and runs the
# whole test suite: the unit tests of the logic (plain, under the address
# and undefined-behaviour sanitizers, and under the thread sanitizer) and the
# end-to-end tests of the real executable under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
scripts/build.sh

echo "== unit tests under AddressSanitizer and UndefinedBehaviorSanitizer"
cmake -S . -B build/asan -G Ninja -DLAUNCHER_SANITIZE=ON >/dev/null
cmake --build build/asan --target unit_tests
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir build/asan -L unit --output-on-failure

echo "== unit tests under ThreadSanitizer"
cmake -S . -B build/tsan -G Ninja -DLAUNCHER_TSAN=ON >/dev/null
cmake --build build/tsan --target unit_tests
TSAN_OPTIONS=halt_on_error=1 ctest --test-dir build/tsan -L unit --output-on-failure

echo "== fuzz targets over their seed corpora"
cmake -S . -B build/fuzz -G Ninja -DCMAKE_C_COMPILER=clang \
  -DCMAKE_CXX_COMPILER=clang++ -DLAUNCHER_FUZZ=ON >/dev/null
cmake --build build/fuzz --target fuzzers
ctest --test-dir build/fuzz -L fuzz --output-on-failure

echo "== all tests"
ctest --test-dir build/host --output-on-failure "$@"
