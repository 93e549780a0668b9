# Windows build: the launcher executable.
enable_language(RC)

# The launcher should stay small: optimise for size (-Oz: about 200 bytes
# less than -Os, at a cost of nanoseconds; a function called once stays a
# function: 500 bytes less, since the whole run is one long call chain) and
# let the linker drop every function and datum that nothing uses. 32-bit
# Windows guarantees a stack aligned to 4 bytes only, so functions realign it
# themselves where they need more; keeping the launcher's own calls at 4
# bytes saves about 350 bytes of padding code.
set(LAUNCHER_SIZE_OPTIONS -Oz -fno-inline-functions-called-once
    -ffunction-sections -fdata-sections)
if(NOT CMAKE_SYSTEM_PROCESSOR MATCHES "x86_64|AMD64|amd64")
  list(APPEND LAUNCHER_SIZE_OPTIONS -mpreferred-stack-boundary=2)
endif()
target_compile_options(launcher_logic PRIVATE ${LAUNCHER_SIZE_OPTIONS})

# The resource script and the manifest carry the project's version, and the
# manifest the architecture of this build: Windows refuses to start a program
# whose manifest names another architecture than its own.
if(CMAKE_SYSTEM_PROCESSOR MATCHES "x86_64|AMD64|amd64")
  set(LAUNCHER_MANIFEST_ARCHITECTURE amd64)
else()
  set(LAUNCHER_MANIFEST_ARCHITECTURE x86)
endif()
set(LAUNCHER_RESOURCES_DIR ${CMAKE_CURRENT_BINARY_DIR}/generated/resources)
configure_file(resources/launcher.manifest.in
               ${LAUNCHER_RESOURCES_DIR}/launcher.manifest @ONLY)
configure_file(resources/launcher.rc.in ${LAUNCHER_RESOURCES_DIR}/launcher.rc
               @ONLY)

file(GLOB LAUNCHER_ICONS ${CMAKE_CURRENT_SOURCE_DIR}/resources/icons/*.ico)
set_property(SOURCE ${LAUNCHER_RESOURCES_DIR}/launcher.rc APPEND PROPERTY
  OBJECT_DEPENDS ${LAUNCHER_RESOURCES_DIR}/launcher.manifest ${LAUNCHER_ICONS})

# The launcher throws and catches no exception and asks no object for its
# type. Built without either, and with win_lean_runtime.cc standing in for
# the library's exception paths (which could only end in abort() here), it
# leaves out the unwinder, the exception classes and MinGW's floating-point
# printf: about 170 KB of the executable.
set(LAUNCHER_LEAN_OPTIONS -fno-exceptions -fno-rtti
    -fno-asynchronous-unwind-tables)
target_compile_options(launcher_logic PRIVATE ${LAUNCHER_LEAN_OPTIONS})

# The platform operations over Win32, one file for each interface.
set(LAUNCHER_WINDOWS_PLATFORM_SOURCES
  platform/windows_files.cc
  platform/windows_registry.cc
  platform/windows_system.cc
  platform/windows_program.cc
  platform/windows_processes.cc
  platform/windows_threads.cc
  platform/windows_user_interface.cc
  platform/windows_splash.cc
  platform/windows_vm_host.cc
  platform/late_bound_calls.cc
)

# The two flavours of the launcher, from the same logic: `launcher`, a GUI
# program that a user double-clicks, and `launcher-console`, a console
# program for command-line tools. The entry point picks the flavour; the
# one compile definition that tells it which is set here.
function(add_launcher name)
  add_executable(${name} ${ARGN}
    launcher/win_main.cc
    launcher/win_lean_runtime.cc
    ${LAUNCHER_WINDOWS_PLATFORM_SOURCES}
    ${LAUNCHER_RESOURCES_DIR}/launcher.rc
  )
  target_compile_options(${name} PRIVATE
    $<$<COMPILE_LANGUAGE:CXX>:${LAUNCHER_SIZE_OPTIONS} ${LAUNCHER_LEAN_OPTIONS}>)
  target_link_libraries(${name} PRIVATE launcher_logic)
  # Static runtime support so that the executable runs on a clean Windows
  # with only the system's DLLs; -s strips the symbols. The link map shows
  # what each part of the runtime costs (scripts/bench.sh).
  target_link_options(${name} PRIVATE -static -static-libgcc
                      -static-libstdc++ -Wl,--gc-sections -s
                      -Wl,-Map=${CMAKE_CURRENT_BINARY_DIR}/${name}.map)
  # Terminal Server aware: on a Remote Desktop server Windows otherwise
  # applies its compatibility shims (a Windows folder of each user's own,
  # registry keys copied per user) to the process, and with javaInProcess to
  # the Java application that runs in it.
  target_link_options(${name} PRIVATE -Wl,--tsaware)
  # The resource script names its icons and manifest relative to the
  # resources folders, which windres resolves through its include path.
  target_include_directories(${name} PRIVATE
    $<$<COMPILE_LANGUAGE:RC>:${LAUNCHER_RESOURCES_DIR}>
    $<$<COMPILE_LANGUAGE:RC>:${CMAKE_CURRENT_SOURCE_DIR}/resources>)
  # Whole-program optimisation across the logic and the entry point: about
  # 6 KB less code. In one partition: MinGW's GCC 12 stops with an internal
  # compiler error (binds_to_current_def_p, in dead store elimination) when
  # a call into jvm/ splits the program into several; today's program gives
  # the same bytes either way.
  set_property(TARGET ${name} PROPERTY INTERPROCEDURAL_OPTIMIZATION ON)
  target_link_options(${name} PRIVATE -flto-partition=one)
endfunction()

add_launcher(launcher WIN32)
add_launcher(launcher-console)
target_compile_definitions(launcher-console PRIVATE LAUNCHER_CONSOLE)

# Checks of the Win32 platform operations against the real system (Windows
# or Wine): `ctest --test-dir build/win32` runs them through the toolchain's
# emulator.
enable_testing()
add_executable(platform_windows_test
  tests/windows/platform_windows_test.cc
  ${LAUNCHER_WINDOWS_PLATFORM_SOURCES}
)
target_link_libraries(platform_windows_test PRIVATE launcher_logic)
target_link_options(platform_windows_test PRIVATE -static -static-libgcc
                    -static-libstdc++)
add_test(NAME platform_windows COMMAND platform_windows_test)
set_tests_properties(platform_windows PROPERTIES LABELS windows TIMEOUT 120)

# Windows programs that only the end-to-end tests use.
include(${CMAKE_CURRENT_SOURCE_DIR}/tests/e2e/windows_tools.cmake OPTIONAL)

set_property(TARGET launcher_logic platform_windows_test
             PROPERTY INTERPROCEDURAL_OPTIMIZATION ON)

# Programs of the launch benchmark.
include(${CMAKE_CURRENT_SOURCE_DIR}/bench/windows_bench.cmake OPTIONAL)
