# libFuzzer targets. CTest runs each over its seed corpus; a longer fuzzing
# run is scripts/fuzz.sh.
set(FUZZ_TARGETS fuzz_config fuzz_expand fuzz_update_selection
                 fuzz_command_line fuzz_pe_image fuzz_icon_file
                 fuzz_zip_archive fuzz_jvm_library fuzz_argument_files
                 fuzz_java_options_variable fuzz_class_path_wildcards)
foreach(target ${FUZZ_TARGETS})
  add_executable(${target} tests/fuzz/${target}.cc)
  target_link_libraries(${target} PRIVATE fake_platform brand_logic)
  target_link_options(${target} PRIVATE -fsanitize=fuzzer)
  add_test(NAME ${target}_corpus
           COMMAND ${target} -runs=0
                   ${CMAKE_CURRENT_SOURCE_DIR}/tests/fuzz/corpus/${target})
  set_tests_properties(${target}_corpus PROPERTIES LABELS fuzz)
endforeach()

# What the fuzzing build is for; scripts/test.sh builds only these.
add_custom_target(fuzzers DEPENDS ${FUZZ_TARGETS})
