# Host build: the logic against the fake platform, unit-tested with GoogleTest,
# plus the end-to-end tests that drive the Windows build under Wine.
enable_testing()
find_package(GTest REQUIRED)
include(GoogleTest)

add_library(fake_platform STATIC tests/fake_platform.cc)
target_link_libraries(fake_platform PUBLIC launcher_logic)

file(GLOB UNIT_TEST_SOURCES CONFIGURE_DEPENDS
     ${CMAKE_CURRENT_SOURCE_DIR}/tests/*_test.cc)
add_executable(unit_tests ${UNIT_TEST_SOURCES})
target_link_libraries(unit_tests PRIVATE fake_platform GTest::gtest
                      GTest::gtest_main)
gtest_discover_tests(unit_tests PROPERTIES LABELS unit)

if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/tests/e2e/CMakeLists.txt)
  add_subdirectory(tests/e2e)
endif()
