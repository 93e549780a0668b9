# Host build: the logic against the fake platform, unit-tested with GoogleTest,
# plus the end-to-end tests that drive the Windows build under Wine.
enable_testing()

# A build of the logic and its unit tests under AddressSanitizer and
# UndefinedBehaviorSanitizer: any memory error or undefined behaviour fails.
option(LAUNCHER_SANITIZE "Build with ASan and UBSan" OFF)
if(LAUNCHER_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all
                      -fno-omit-frame-pointer -O1 -g)
  add_link_options(-fsanitize=address,undefined)
  target_compile_options(launcher_logic PRIVATE
                         -fsanitize=address,undefined
                         -fno-sanitize-recover=all -fno-omit-frame-pointer)
endif()
# A build of the logic and its unit tests under ThreadSanitizer: the fake
# system runs real threads, so a race between the launcher's threads (the
# VM's hooks, the output readers, the launch log) fails the run.
option(LAUNCHER_TSAN "Build with ThreadSanitizer" OFF)
if(LAUNCHER_TSAN)
  add_compile_options(-fsanitize=thread -fno-omit-frame-pointer -O1 -g)
  add_link_options(-fsanitize=thread)
  target_compile_options(launcher_logic PRIVATE -fsanitize=thread
                         -fno-omit-frame-pointer)
endif()
find_package(GTest REQUIRED)
include(GoogleTest)

# The fake system runs real threads.
find_package(Threads REQUIRED)
add_library(fake_platform STATIC tests/fake_platform.cc)
target_link_libraries(fake_platform PUBLIC launcher_logic Threads::Threads)

file(GLOB UNIT_TEST_SOURCES CONFIGURE_DEPENDS
     ${CMAKE_CURRENT_SOURCE_DIR}/tests/*_test.cc)
add_executable(unit_tests ${UNIT_TEST_SOURCES})
target_link_libraries(unit_tests PRIVATE fake_platform GTest::gtest
                      GTest::gtest_main)
# The in-process tests play a VM behind the JNI boundary.
target_include_directories(unit_tests SYSTEM PRIVATE ${LAUNCHER_JNI_INCLUDE}
                           ${LAUNCHER_JNI_MD_INCLUDE})
gtest_discover_tests(unit_tests PROPERTIES LABELS unit)
# The tests' own code is not optimized: GoogleTest's macros take three times
# as long to compile optimized (ten seconds and more a file under the
# sanitizers), and a test gains nothing by it. The logic under test keeps
# the build's level.
target_compile_options(unit_tests PRIVATE -O0)

if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/tests/e2e/CMakeLists.txt)
  add_subdirectory(tests/e2e)
endif()

if(LAUNCHER_FUZZ)
  include(cmake/fuzz_targets.cmake)
endif()

# Benchmarks of the logic (scripts/bench.sh).
include(${CMAKE_CURRENT_SOURCE_DIR}/bench/CMakeLists.txt OPTIONAL)

# Checks of the release package (scripts/release.sh).
include(${CMAKE_CURRENT_SOURCE_DIR}/tests/release/release_tests.cmake OPTIONAL)

# The set-up script against stand-ins for apt-get and dpkg.
add_test(NAME install_deps
         COMMAND python3 ${CMAKE_CURRENT_SOURCE_DIR}/tests/scripts/test_install_deps.py)
set_tests_properties(install_deps PROPERTIES LABELS scripts
                     ENVIRONMENT "PYTHONDONTWRITEBYTECODE=1")

# RunJavaMain against the real Java VMs of this machine (label jvm): each
# case in a child process of its own, on every VM found. No VM fails the run.
find_package(Threads REQUIRED)
add_executable(jvm_tests tests/jvm/real_vm_test.cc
                         tests/jvm/startup_cache_vm_test.cc)
target_link_libraries(jvm_tests PRIVATE fake_platform GTest::gtest
                      GTest::gtest_main Threads::Threads ${CMAKE_DL_LIBS})
target_compile_options(jvm_tests PRIVATE -O0)
target_compile_definitions(jvm_tests PRIVATE
  JVM_TEST_SOURCES="${CMAKE_CURRENT_SOURCE_DIR}/tests/jvm")
add_test(NAME jvm_real_vms COMMAND jvm_tests)
set_tests_properties(jvm_real_vms PROPERTIES LABELS jvm TIMEOUT 300)
