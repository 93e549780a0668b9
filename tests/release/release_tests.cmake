# Checks of the release package (scripts/release.sh): file list, checksums,
# dates, and the executables' machine type, imports, version and icons; and
# that rebuilding it gives the same bytes.
find_program(RELEASE_PYTHON3 NAMES python3)
if(RELEASE_PYTHON3)
  add_test(NAME release_package
           COMMAND ${RELEASE_PYTHON3}
                   ${CMAKE_CURRENT_LIST_DIR}/test_release.py -v
           WORKING_DIRECTORY ${CMAKE_CURRENT_LIST_DIR})
  # The script rebuilds build/win32, whose launcher.exe the end-to-end
  # tests copy into the Wine prefix; the two do not run at once.
  set_tests_properties(release_package PROPERTIES
    LABELS release
    RESOURCE_LOCK wine_prefix
    TIMEOUT 1200
    ENVIRONMENT "PYTHONDONTWRITEBYTECODE=1")
  # Two release builds of the current commit, the working tree's and a fresh
  # clone's, compared byte for byte (scripts/release.sh --verify). The first
  # rebuilds build/win32 too.
  add_test(NAME release_reproducible
           COMMAND ${RELEASE_PYTHON3}
                   ${CMAKE_CURRENT_LIST_DIR}/test_reproducible.py -v
           WORKING_DIRECTORY ${CMAKE_CURRENT_LIST_DIR})
  set_tests_properties(release_reproducible PROPERTIES
    LABELS release
    RESOURCE_LOCK wine_prefix
    TIMEOUT 1200
    ENVIRONMENT "PYTHONDONTWRITEBYTECODE=1")
endif()
