# The CLAP plug-in: <Name>.clap in the build tree beside the AAX bundle, a shared object on
# Linux and a DLL on Windows (the compiler's run-time and winpthread linked in, as in the AAX
# module), exporting clap_entry and nothing else. Once loaded it stays (Linux), as the AAX
# module does: the framework's process-wide objects (the timer registry) must not be lost to
# an unload.
#
#   tb_clap_bundle(<target> NAME <Name> PRODUCT <library> [FEATURES <comma-separated words>])
#
# PRODUCT is the product built on the CLAP binding (iplug_clap); FEATURES the product's own
# words for the factory's description ("compressor,limiter"), next to those the binding reads
# from the plug-in. Provides the target, the cache entry TOLLENBROOK_CLAP_BUNDLE (the file),
# the test <target>_exports (clap_entry only) when tests are built, and the install rule of
# component "clap" into <prefix>/lib/clap.

set(TB_CLAP_EXPORT_MAP ${CMAKE_SOURCE_DIR}/IPlug/CLAP/CLAP_Exports.map CACHE INTERNAL "export list of a CLAP binary")

function(tb_clap_bundle target)
  cmake_parse_arguments(ARG "" "NAME;PRODUCT;FEATURES" "" ${ARGN})
  add_library(${target} SHARED ${CMAKE_SOURCE_DIR}/IPlug/CLAP/IPlugCLAP_Entry.cpp)
  target_link_libraries(${target} PRIVATE ${ARG_PRODUCT})
  target_compile_definitions(${target} PRIVATE "CLAP_PRODUCT_FEATURES=\"${ARG_FEATURES}\"")
  set_target_properties(${target} PROPERTIES
    OUTPUT_NAME ${ARG_NAME}
    PREFIX ""
    SUFFIX ".clap"
    LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}
    RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}
    CXX_VISIBILITY_PRESET hidden
    C_VISIBILITY_PRESET hidden
    VISIBILITY_INLINES_HIDDEN ON)
  if(WIN32)
    # Nothing links against the plug-in; its import library stays out of the way.
    set_target_properties(${target} PROPERTIES ARCHIVE_OUTPUT_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
  else()
    target_link_options(${target} PRIVATE "LINKER:--version-script=${TB_CLAP_EXPORT_MAP}" "LINKER:-z,nodelete"
                        "LINKER:--no-undefined")
    set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${TB_CLAP_EXPORT_MAP})
  endif()
  set(TOLLENBROOK_CLAP_BUNDLE ${CMAKE_BINARY_DIR}/${ARG_NAME}.clap CACHE INTERNAL "the built CLAP plug-in")
  install(TARGETS ${target} LIBRARY DESTINATION lib/clap COMPONENT clap RUNTIME DESTINATION lib/clap COMPONENT clap)

  if(TOLLENBROOK_TESTS)
    tb_module_exports_test(${target}_exports ${target} clap_entry)
  endif()
endfunction()
