# The validator, natively and under Wine: on the module (everything must pass), and on probe
# modules built with one known fault each, which it must find. The probes are modules like the
# product's (tests/host/probe/ProbeModule.cpp), fault 0 has none.
set(probe_dir ${CMAKE_BINARY_DIR}/tests/probes)
foreach(fault IN ITEMS 0 1 2 3 4 5)
  tb_aax_module(validator_probe_${fault}
    SOURCES ${CMAKE_SOURCE_DIR}/IPlug/AAX/IPlugAAX_Describe.cpp ${CMAKE_CURRENT_LIST_DIR}/probe/ProbeModule.cpp
    DEPS iplug_aax
    OUTPUT_DIRECTORY ${probe_dir})
  target_compile_definitions(validator_probe_${fault} PRIVATE TB_PROBE_FAULT=${fault})
  if(NOT WIN32)
    # As the product's module: the framework's process-wide timer registry outlives an unload.
    target_link_options(validator_probe_${fault} PRIVATE "LINKER:-z,nodelete")
  endif()
endforeach()

add_test(NAME tollenbrook_host_validate COMMAND tollenbrook-host validate --strictness 10)
set_tests_properties(tollenbrook_host_validate PROPERTIES FAIL_REGULAR_EXPRESSION "FAIL  " TIMEOUT 1800)
# The LV2 bundle (Linux) through the same checks, unchanged (about 3 s). Alone: on a loaded
# machine the thread check has been seen to find a state that does not round trip.
if(NOT WIN32)
  add_test(NAME tollenbrook_host_validate_lv2
           COMMAND tollenbrook-host validate --strictness 10 --module ${TOLLENBROOK_LV2_BUNDLE_DIR})
  set_tests_properties(tollenbrook_host_validate_lv2 PROPERTIES
    PASS_REGULAR_EXPRESSION "LV2 plug-in .*strictness 10.*[1-9][0-9]* passed, 0 failed" FAIL_REGULAR_EXPRESSION "FAIL  "
    RUN_SERIAL TRUE TIMEOUT 300)
endif()
# The VST3 bundle through the same checks, on both systems, with 32-bit and with 64-bit samples
# (about 5 s each natively).
if(TARGET tollenbrook_vst3)
  add_test(NAME tollenbrook_host_validate_vst3
           COMMAND tollenbrook-host validate --strictness 10 --module ${TOLLENBROOK_VST3_BUNDLE_DIR})
  add_test(NAME tollenbrook_host_validate_vst3_double
           COMMAND tollenbrook-host validate --strictness 10 --double-precision --module ${TOLLENBROOK_VST3_BUNDLE_DIR})
  set_tests_properties(tollenbrook_host_validate_vst3 tollenbrook_host_validate_vst3_double PROPERTIES
    PASS_REGULAR_EXPRESSION "VST3 plug-in .*strictness [0-9]+.*[1-9][0-9]* passed, 0 failed" FAIL_REGULAR_EXPRESSION "FAIL  "
    TIMEOUT 300)
endif()

# Runs the host and requires an exit status and a line of output.
function(tb_validator_test name status regex)
  add_test(NAME ${name}
           COMMAND ${CMAKE_COMMAND} "-DCOMMAND=${CMAKE_CROSSCOMPILING_EMULATOR};$<TARGET_FILE:tollenbrook-host>;${ARGN}"
                   -DSTATUS=${status} "-DREGEX=${regex}" -P ${CMAKE_CURRENT_LIST_DIR}/RunAndMatch.cmake)
  set_tests_properties(${name} PROPERTIES TIMEOUT 900)
endfunction()

tb_validator_test(validator_passes_a_sound_probe 0 "[0-9]+ passed, 0 failed"
                  validate --module $<TARGET_FILE:validator_probe_0>)
# Threads that change parameters have none but the bypass, which they leave alone: the run
# must get through the thread check to its summary (the exit status is the checks' verdict).
add_test(NAME validator_gets_through_a_probe_whose_only_parameter_is_its_bypass
         COMMAND ${CMAKE_CROSSCOMPILING_EMULATOR} $<TARGET_FILE:tollenbrook-host>
                 validate --strictness 5 --module $<TARGET_FILE:validator_probe_5>)
set_tests_properties(validator_gets_through_a_probe_whose_only_parameter_is_its_bypass PROPERTIES
  PASS_REGULAR_EXPRESSION "  threads: automation, editor changes and state saves while audio runs.*[0-9]+ passed, [0-9]+ failed"
  TIMEOUT 900)
tb_validator_test(validator_fails_a_probe_that_allocates 1
                  "FAIL  audio thread allocates nothing and takes no lock: [1-9][0-9]* allocations"
                  validate --strictness 3 --module $<TARGET_FILE:validator_probe_1>)
tb_validator_test(validator_fails_a_probe_that_skips_an_output 1
                  "FAIL  audio, stereo insert at 48000 Hz: [^\n]*output 1 stayed silent"
                  validate --strictness 3 --module $<TARGET_FILE:validator_probe_2>)
tb_validator_test(validator_fails_a_probe_that_leaves_a_host_buffer_unwritten 1
                  "FAIL  audio, stereo insert at 48000 Hz: [^\n]*output 1: frame 0 was not written"
                  validate --strictness 3 --module $<TARGET_FILE:validator_probe_4>)
# Locks are seen on Linux outside the sanitizer builds; an uncontended mutex on Windows is an
# atomic exchange inside the module.
if(NOT WIN32 AND NOT CMAKE_CXX_FLAGS MATCHES "sanitize")
  tb_validator_test(validator_fails_a_probe_that_locks 1
                    "FAIL  audio thread allocates nothing and takes no lock: 0 allocations and [1-9][0-9]* locks"
                    validate --strictness 3 --module $<TARGET_FILE:validator_probe_3>)
endif()

# CLAP: probe plug-ins written directly on the interface (tests/host/probe/CLAPProbe.cpp), one
# known fault each (0 none), for the CLAP instance tests and the validator's CLAP checks.
set(clap_probe_dir ${CMAKE_BINARY_DIR}/tests/clap-probes)
foreach(fault IN ITEMS 0 1 2 3 4)
  add_library(clap_probe_${fault} MODULE ${CMAKE_CURRENT_LIST_DIR}/probe/CLAPProbe.cpp)
  target_include_directories(clap_probe_${fault} SYSTEM PRIVATE ${TB_CLAP_HEADERS_DIR})
  target_include_directories(clap_probe_${fault} PRIVATE ${CMAKE_SOURCE_DIR})
  target_compile_definitions(clap_probe_${fault} PRIVATE TB_CLAP_PROBE_FAULT=${fault})
  set_target_properties(clap_probe_${fault} PROPERTIES PREFIX "" SUFFIX ".clap" CXX_VISIBILITY_PRESET hidden
                        LIBRARY_OUTPUT_DIRECTORY ${clap_probe_dir} RUNTIME_OUTPUT_DIRECTORY ${clap_probe_dir})
  add_dependencies(test_host clap_probe_${fault})
endforeach()
set_property(TEST test_host APPEND PROPERTY ENVIRONMENT "TOLLENBROOK_CLAP_PROBES=${clap_probe_dir}")
tb_validator_test(validator_passes_a_sound_clap_probe 0 "CLAP plug-in .*[0-9]+ passed, 0 failed"
                  validate --strictness 10 --module ${clap_probe_dir}/clap_probe_0.clap)
tb_validator_test(validator_fails_a_clap_probe_that_calls_the_host_from_the_wrong_thread 1
                  "FAIL  clap: calls from the threads the interface assigns: clap.params rescan from a thread other than the main thread"
                  validate --strictness 3 --module ${clap_probe_dir}/clap_probe_1.clap)
tb_validator_test(validator_fails_a_clap_probe_that_drops_late_events 1
                  "FAIL  clap: parameter events at every offset of a block: [^\n]*offset 1"
                  validate --strictness 3 --module ${clap_probe_dir}/clap_probe_2.clap)
tb_validator_test(validator_fails_a_clap_probe_that_half_takes_a_damaged_state 1
                  "FAIL  clap: damaged state streams are refused and change nothing: [^\n]*changed"
                  validate --strictness 3 --module ${clap_probe_dir}/clap_probe_3.clap)
tb_validator_test(validator_fails_a_clap_probe_that_reads_its_state_in_one_piece 1
                  "FAIL  clap: state round trips in pieces: [^\n]*pieces of 1 byte"
                  validate --strictness 3 --module ${clap_probe_dir}/clap_probe_4.clap)
