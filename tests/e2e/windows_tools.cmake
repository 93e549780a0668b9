# Windows programs used only by the end-to-end tests under Wine: a stand-in
# for the Java runtime (console java.exe and windowless javaw.exe flavours)
# and the box watcher that runs the launcher and answers its message boxes;
# the resource probe of the branding tests.
set(E2E_TOOLS_DIR ${CMAKE_CURRENT_LIST_DIR})

add_executable(standin_java ${E2E_TOOLS_DIR}/standin_java.cc)
add_executable(standin_javaw WIN32 ${E2E_TOOLS_DIR}/standin_java.cc)
target_link_options(standin_javaw PRIVATE -mwindows)
add_executable(boxwatch ${E2E_TOOLS_DIR}/boxwatch.cc)
# Reads a branded executable's resources through Windows' own functions.
add_executable(resource_probe ${E2E_TOOLS_DIR}/resource_probe.cc)
target_link_libraries(resource_probe PRIVATE version)
# wmain: file names and version string names arrive as UTF-16.
target_link_options(resource_probe PRIVATE -municode)

foreach(tool standin_java standin_javaw boxwatch resource_probe)
  target_link_options(${tool} PRIVATE -static -static-libgcc -static-libstdc++)
endforeach()
