#!/usr/bin/env bash
# Sets up a fresh Debian machine if needed, builds everything and runs the
# whole test suite: the unit tests of the logic (plain, under the address
# and undefined-behaviour sanitizers, and under the thread sanitizer) and the
# end-to-end tests of the real executables under Wine, the 32- and the 64-bit
# launcher side by side. Where this machine cannot run 32-bit programs
# (tests/e2e/wine_machine.py says why; LAUNCHER_WINE64_ONLY=1 acts so
# anywhere) the 32-bit runs are skipped. The last line says how many tests
# were skipped, and why.
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

log=$(mktemp)
trap 'rm -f "$log"' EXIT
status=0
echo "== all tests but the end-to-end ones"
ctest --test-dir build/host --output-on-failure -LE e2e -j2 "$@" | tee "$log" ||
  status=$?
# The two sizes use two Wine prefixes, so they can run at once (CTest's
# resource locks keep the runs of one prefix apart).
echo "== end-to-end tests under Wine ($(python3 tests/e2e/wine_machine.py || true))"
ctest --test-dir build/host --output-on-failure -L e2e -j2 "$@" |
  tee -a "$log" || status=$?

# CTest lists each skipped test as "<number> - <name> (Skipped)".
skipped=$(grep -cE '^[[:space:]]*[0-9]+ - .* \(Skipped\)$' "$log" || true)
if [ "$skipped" -eq 0 ]; then
  echo "test.sh: no test skipped"
elif python3 tests/e2e/wine_machine.py >/dev/null; then
  echo "test.sh: $skipped tests skipped (listed by ctest above)"
else
  echo "test.sh: $skipped tests skipped: $(python3 tests/e2e/wine_machine.py)"
fi
exit "$status"
