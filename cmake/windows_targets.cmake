# Windows build: the launcher executable.
enable_language(RC)

# The launcher should stay small: optimise for size and let the linker drop
# every function and datum that nothing uses.
set(LAUNCHER_SIZE_OPTIONS -Os -ffunction-sections -fdata-sections)
target_compile_options(launcher_logic PRIVATE ${LAUNCHER_SIZE_OPTIONS})

add_executable(launcher WIN32
  launcher/win_main.cc
  platform/platform_windows.cc
  resources/launcher.rc
)
target_compile_options(launcher PRIVATE
  $<$<COMPILE_LANGUAGE:CXX>:${LAUNCHER_SIZE_OPTIONS}>)
target_link_libraries(launcher PRIVATE launcher_logic)
# Static runtime support so that the executable runs on a clean Windows with
# only the system's DLLs; -s strips the symbols.
target_link_options(launcher PRIVATE -static -static-libgcc -static-libstdc++
                    -Wl,--gc-sections -s)
# The resource script names its icons and manifest relative to itself, which
# windres resolves through its include path.
target_include_directories(launcher PRIVATE
  $<$<COMPILE_LANGUAGE:RC>:${CMAKE_CURRENT_SOURCE_DIR}/resources>)
set_property(SOURCE resources/launcher.rc APPEND PROPERTY OBJECT_DEPENDS
  ${CMAKE_CURRENT_SOURCE_DIR}/resources/launcher.manifest)
file(GLOB LAUNCHER_ICONS ${CMAKE_CURRENT_SOURCE_DIR}/resources/icons/*.ico)
set_property(SOURCE resources/launcher.rc APPEND PROPERTY OBJECT_DEPENDS
  ${LAUNCHER_ICONS})

# Checks of the Win32 platform operations against the real system (Windows
# or Wine): `ctest --test-dir build/win32` runs them through the toolchain's
# emulator.
enable_testing()
add_executable(platform_windows_test
  tests/windows/platform_windows_test.cc
  platform/platform_windows.cc
)
target_link_libraries(platform_windows_test PRIVATE launcher_logic)
target_link_options(platform_windows_test PRIVATE -static -static-libgcc
                    -static-libstdc++)
add_test(NAME platform_windows COMMAND platform_windows_test)
set_tests_properties(platform_windows PROPERTIES LABELS windows TIMEOUT 120)

# Windows programs that only the end-to-end tests use.
include(${CMAKE_CURRENT_SOURCE_DIR}/tests/e2e/windows_tools.cmake OPTIONAL)
