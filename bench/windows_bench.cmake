# Windows programs of the launch benchmark (scripts/bench.sh): the minimal
# reference launcher and the timing program that runs inside Wine.
set(BENCH_WIN_DIR ${CMAKE_CURRENT_LIST_DIR})

add_executable(min_launcher WIN32 ${BENCH_WIN_DIR}/min_launcher.cc)
add_executable(min_launcher_idle WIN32 ${BENCH_WIN_DIR}/min_launcher.cc)
target_compile_definitions(min_launcher_idle PRIVATE WAIT_FOR_INPUT_IDLE)
add_executable(min_launcher_busy WIN32 ${BENCH_WIN_DIR}/min_launcher.cc)
target_compile_definitions(min_launcher_busy PRIVATE BUSY_WAIT)
add_executable(launch_timer ${BENCH_WIN_DIR}/launch_timer.cc)
target_link_libraries(launch_timer PRIVATE psapi)
foreach(tool min_launcher min_launcher_idle min_launcher_busy launch_timer)
  target_link_options(${tool} PRIVATE -static -static-libgcc -static-libstdc++
                      -s)
endforeach()

# The formatting that the launcher's lean runtime builds on msvcrt.dll, built
# the same way as the launcher and run under Wine by ctest.
add_executable(lean_runtime_check ${BENCH_WIN_DIR}/lean_runtime_check.cc
               ${CMAKE_CURRENT_SOURCE_DIR}/text/text_helpers.cc
               ${CMAKE_CURRENT_SOURCE_DIR}/launcher/win_lean_runtime.cc)
target_include_directories(lean_runtime_check PRIVATE
                           ${CMAKE_CURRENT_SOURCE_DIR})
target_compile_options(lean_runtime_check PRIVATE ${LAUNCHER_SIZE_OPTIONS}
                       ${LAUNCHER_LEAN_OPTIONS})
target_link_options(lean_runtime_check PRIVATE -static -static-libgcc
                    -static-libstdc++ -Wl,--gc-sections)
add_test(NAME lean_runtime COMMAND lean_runtime_check)
set_tests_properties(lean_runtime PROPERTIES LABELS windows TIMEOUT 60)
