# The version in VERSION read back from each built artefact (tests/tools/VersionCheck.cmake):
# the host, the AAX module it loads and, on Linux, the LV2 bundle. The packages are checked by
# scripts/release-test.
set(tb_version_lv2 "")
if(NOT WIN32)
  set(tb_version_lv2 -DLV2_BUNDLE=${TOLLENBROOK_LV2_BUNDLE_DIR})
endif()
add_test(NAME tollenbrook_version
         COMMAND ${CMAKE_COMMAND} -DVERSION_FILE=${CMAKE_SOURCE_DIR}/VERSION -DHOST=$<TARGET_FILE:tollenbrook-host>
                 "-DEMULATOR=${CMAKE_CROSSCOMPILING_EMULATOR}" ${tb_version_lv2}
                 -P ${CMAKE_CURRENT_LIST_DIR}/VersionCheck.cmake)
