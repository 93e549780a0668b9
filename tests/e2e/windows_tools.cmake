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

# A stand-in jvm.dll for the in-process mode, built with the project's own
# jni_md.h (so that a calling convention that differs from the launcher's
# shows on 32 bits), and the DLL it needs from the runtime's bin folder.
# The VM's entry point is exported under its plain name, as a VM's is.
add_library(standin_jvmdep SHARED ${E2E_TOOLS_DIR}/standin_jvmdep.cc)
add_library(standin_jvm SHARED ${E2E_TOOLS_DIR}/standin_jvm.cc)
target_include_directories(standin_jvm SYSTEM PRIVATE ${LAUNCHER_JNI_INCLUDE}
                           ${LAUNCHER_JNI_MD_INCLUDE})
target_link_libraries(standin_jvm PRIVATE standin_jvmdep)
foreach(dll standin_jvm standin_jvmdep)
  set_target_properties(${dll} PROPERTIES PREFIX "")
  target_link_options(${dll} PRIVATE -static -static-libgcc -static-libstdc++
                      -Wl,--kill-at)
endforeach()
