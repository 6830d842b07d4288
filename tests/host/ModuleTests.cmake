# The host tests load the module at run time, as tollenbrook-host does, and on Linux the LV2
# bundle as well.
add_dependencies(test_host tollenbrook_module)
if(NOT WIN32)
  add_dependencies(test_host tollenbrook_lv2)
  set_property(TEST test_host APPEND PROPERTY ENVIRONMENT "TOLLENBROOK_LV2_BUNDLE=${TOLLENBROOK_LV2_BUNDLE_DIR}")
  add_test(NAME tollenbrook_host_describe_lv2 COMMAND tollenbrook-host describe --module ${TOLLENBROOK_LV2_BUNDLE_DIR})
  set_tests_properties(tollenbrook_host_describe_lv2 PROPERTIES PASS_REGULAR_EXPRESSION "Compressor Gain Reduction")
endif()

# The VST3 bundle (Linux and Windows): the host tests load it as tollenbrook-host does.
if(TARGET tollenbrook_vst3)
  add_dependencies(test_host tollenbrook_vst3)
  set_property(TEST test_host APPEND PROPERTY ENVIRONMENT "TOLLENBROOK_VST3_BUNDLE=${TOLLENBROOK_VST3_BUNDLE_DIR}")
  add_test(NAME tollenbrook_host_describe_vst3 COMMAND tollenbrook-host describe --module ${TOLLENBROOK_VST3_BUNDLE_DIR})
  set_tests_properties(tollenbrook_host_describe_vst3 PROPERTIES
    PASS_REGULAR_EXPRESSION "VST3 plug-in .*Oversampling On.*Meters: 2.*State: VST3")
endif()

# The programs themselves, under Wine for the Windows flavour: the host finds the module built
# beside it, describes it and renders through it.
set(host_module_dir ${CMAKE_BINARY_DIR}/tests/host-module-render)
add_test(NAME tollenbrook_host_describe COMMAND tollenbrook-host describe)
set_tests_properties(tollenbrook_host_describe PROPERTIES PASS_REGULAR_EXPRESSION "native type ID +IEF2")
add_test(NAME tollenbrook_host_demo_input COMMAND tollenbrook-host demo ${host_module_dir})
# Only the input is wanted here. The demo's editor picture goes through the system's OpenGL
# driver, whose allocations are not ours to check.
set_tests_properties(tollenbrook_host_demo_input PROPERTIES FIXTURES_SETUP host_module_input
                     ENVIRONMENT "ASAN_OPTIONS=detect_leaks=0")
add_test(NAME tollenbrook_host_render
         COMMAND tollenbrook-host render ${host_module_dir}/demo-input.wav ${host_module_dir}/module.wav
                 --set "Oversample=Oversampling On" --save-state ${host_module_dir}/state.tlk)
set_tests_properties(tollenbrook_host_render PROPERTIES
  FIXTURES_REQUIRED host_module_input FIXTURES_SETUP host_module_state
  PASS_REGULAR_EXPRESSION "latency 64 samples")
add_test(NAME tollenbrook_host_render_from_state
         COMMAND tollenbrook-host render ${host_module_dir}/demo-input.wav ${host_module_dir}/from-state.wav
                 --load-state ${host_module_dir}/state.tlk)
set_tests_properties(tollenbrook_host_render_from_state PROPERTIES
  FIXTURES_REQUIRED host_module_state PASS_REGULAR_EXPRESSION "latency 64 samples")

# The Windows module against the Linux module's rendering, which the Linux suite writes into
# its build tree (scripts/test builds and tests the linux preset first). Reported as skipped
# when there is no Linux build.
if(WIN32)
  set(TOLLENBROOK_LINUX_BUILD_DIR ${CMAKE_SOURCE_DIR}/build/linux CACHE PATH
      "Linux build tree whose module rendering the Windows module is compared with")
  add_test(NAME test_host_matches_linux COMMAND test_host --gtest_filter=CrossPlatform.* --gtest_color=no)
  set_tests_properties(test_host_matches_linux PROPERTIES
    ENVIRONMENT "TOLLENBROOK_LINUX_REFERENCE=${TOLLENBROOK_LINUX_BUILD_DIR}/cross-platform"
    SKIP_REGULAR_EXPRESSION "\\[  SKIPPED \\]"
    TIMEOUT 900)
endif()

# The CLAP plug-in (Tollenbrook.clap, where the build makes one) through the host, and the
# validator on it at the highest strictness.
if(TARGET tollenbrook_clap)
  add_dependencies(test_host tollenbrook_clap)
  set_property(TEST test_host APPEND PROPERTY ENVIRONMENT "TOLLENBROOK_CLAP_BUNDLE=${TOLLENBROOK_CLAP_BUNDLE}")
  add_test(NAME tollenbrook_host_describe_clap COMMAND tollenbrook-host describe --module ${TOLLENBROOK_CLAP_BUNDLE})
  set_tests_properties(tollenbrook_host_describe_clap PROPERTIES PASS_REGULAR_EXPRESSION "State: CLAP")
  add_test(NAME tollenbrook_host_validate_clap
           COMMAND tollenbrook-host validate --strictness 10 --module ${TOLLENBROOK_CLAP_BUNDLE})
  set_tests_properties(tollenbrook_host_validate_clap PROPERTIES
    PASS_REGULAR_EXPRESSION "CLAP plug-in .*strictness 10.*[1-9][0-9]* passed, 0 failed" FAIL_REGULAR_EXPRESSION "FAIL  "
    TIMEOUT 600)
endif()
