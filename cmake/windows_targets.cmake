# Windows build: the launcher executable.
add_executable(launcher WIN32
  launcher/win_main.cc
  platform/platform_windows.cc
)
target_link_libraries(launcher PRIVATE launcher_logic)
target_link_options(launcher PRIVATE -static -static-libgcc -static-libstdc++)

# Windows programs that only the end-to-end tests use.
include(${CMAKE_CURRENT_SOURCE_DIR}/tests/e2e/windows_tools.cmake OPTIONAL)
