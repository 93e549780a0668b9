#!/usr/bin/env bash
# A short fuzzing run of every libFuzzer target, each from its seed corpus:
#   scripts/fuzz.sh [seconds per target, default 60]
# New inputs go to build/fuzz/corpus/<target>; crashes to build/fuzz/.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}

cmake -S . -B build/fuzz -G Ninja -DCMAKE_C_COMPILER=clang \
  -DCMAKE_CXX_COMPILER=clang++ -DLAUNCHER_FUZZ=ON >/dev/null
cmake --build build/fuzz
for target in fuzz_config fuzz_expand fuzz_update_selection fuzz_command_line \
              fuzz_pe_image fuzz_icon_file fuzz_zip_archive fuzz_jvm_library \
              fuzz_argument_files fuzz_java_options_variable \
              fuzz_class_path_wildcards; do
  mkdir -p "build/fuzz/corpus/$target"
  echo "== $target, $seconds s"
  (cd build/fuzz && "./$target" -max_total_time="$seconds" -max_len=4096 \
     "corpus/$target" "../../tests/fuzz/corpus/$target" 2>&1 |
     grep -E '^#[0-9]+[[:space:]]+DONE|ERROR|SUMMARY|^Done' || true)
done
