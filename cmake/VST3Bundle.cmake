# A VST3 bundle beside the AAX module: <Name>.vst3/Contents/x86_64-linux/<Name>.so on Linux,
# <Name>.vst3/Contents/x86_64-win/<Name>.vst3 (a DLL with the compiler's run-time linked in)
# on Windows, and <Name>.vst3/Contents/Resources/moduleinfo.json describing the two classes.
# The binary exports the factory and the platform's module entry and exit, nothing else
# (hidden visibility, and a version script on Linux; on Windows only those carry dllexport).
#
#   tb_vst3_bundle(<target> NAME <Name> VENDOR <vendor> PRODUCT <library> SUBCATEGORIES <text>
#                  COMPONENT_CID <4 words> CONTROLLER_CID <4 words> [PRESETS <folder of .fxp files>])
#
# PRODUCT is the product built on the VST3 binding (iplug_vst3). PRESETS names the factory program
# files, which tools/vst3-presets reads with the plug-in's own program reader into one .vstpreset
# each, in <build>/vst3-presets/<vendor>/<Name>/ (a native build only: the files are the same
# for every platform, and the Windows installer takes them from the Linux build). The class identifiers are
# given once here as four 32-bit words (0x and 8 hexadecimal digits each): the binary gets them
# as definitions, moduleinfo.json as the 32-digit text hosts read. Provides the target
# <target>, the cache entries TOLLENBROOK_VST3_BUNDLE_DIR and TOLLENBROOK_VST3_BINARY, the
# export test <target>_exports and the install rule of component "vst3" (into <prefix>/lib/vst3
# on Linux; the Windows installer copies the bundle itself).

set(TB_VST3_EXPORT_MAP ${CMAKE_SOURCE_DIR}/IPlug/VST3/VST3_Exports.map CACHE INTERNAL "export list of a VST3 binary")
if(WIN32)
  set(TB_VST3_ENTRY_POINTS GetPluginFactory InitDll ExitDll CACHE INTERNAL "entry points of a VST3 binary")
else()
  set(TB_VST3_ENTRY_POINTS GetPluginFactory ModuleEntry ModuleExit CACHE INTERNAL "entry points of a VST3 binary")
endif()

# "0x544C4B31;0x56746F72;..." -> "544C4B3156746F72..." (and the words joined by commas for C++).
function(tb_vst3_cid words out_text out_words)
  list(LENGTH words n)
  if(NOT n EQUAL 4)
    message(FATAL_ERROR "a VST3 class identifier is four words, not \"${words}\"")
  endif()
  set(text "")
  foreach(word IN LISTS words)
    if(NOT word MATCHES "^0x([0-9A-Fa-f][0-9A-Fa-f][0-9A-Fa-f][0-9A-Fa-f][0-9A-Fa-f][0-9A-Fa-f][0-9A-Fa-f][0-9A-Fa-f])$")
      message(FATAL_ERROR "a word of a VST3 class identifier is 0x and 8 hexadecimal digits, not \"${word}\"")
    endif()
    string(TOUPPER ${CMAKE_MATCH_1} digits)
    string(APPEND text ${digits})
  endforeach()
  string(REPLACE ";" "," joined "${words}")
  set(${out_text} ${text} PARENT_SCOPE)
  set(${out_words} ${joined} PARENT_SCOPE)
endfunction()

function(tb_vst3_bundle target)
  cmake_parse_arguments(ARG "" "NAME;VENDOR;PRODUCT;SUBCATEGORIES;PRESETS" "COMPONENT_CID;CONTROLLER_CID" ${ARGN})
  set(bundle_dir ${CMAKE_BINARY_DIR}/${ARG_NAME}.vst3)
  if(WIN32)
    set(binary_dir ${bundle_dir}/Contents/x86_64-win)
    set(suffix .vst3)
  else()
    set(binary_dir ${bundle_dir}/Contents/x86_64-linux)
    set(suffix .so)
  endif()
  set(TOLLENBROOK_VST3_BUNDLE_DIR ${bundle_dir} CACHE INTERNAL "folder of the built VST3 bundle")
  set(TOLLENBROOK_VST3_BINARY ${binary_dir}/${ARG_NAME}${suffix} CACHE INTERNAL "binary of the built VST3 bundle")
  tb_vst3_cid("${ARG_COMPONENT_CID}" component_text component_words)
  tb_vst3_cid("${ARG_CONTROLLER_CID}" controller_text controller_words)

  add_library(${target} SHARED ${CMAKE_SOURCE_DIR}/IPlug/VST3/entry/VST3Entry.cpp)
  target_link_libraries(${target} PRIVATE ${ARG_PRODUCT})
  target_compile_definitions(${target} PRIVATE "TB_VST3_COMPONENT_CID=${component_words}"
                             "TB_VST3_CONTROLLER_CID=${controller_words}" "TB_VST3_SUBCATEGORIES=\"${ARG_SUBCATEGORIES}\"")
  set_target_properties(${target} PROPERTIES
    OUTPUT_NAME ${ARG_NAME}
    PREFIX ""
    SUFFIX ${suffix}
    LIBRARY_OUTPUT_DIRECTORY ${binary_dir}
    RUNTIME_OUTPUT_DIRECTORY ${binary_dir}
    ARCHIVE_OUTPUT_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}
    CXX_VISIBILITY_PRESET hidden
    C_VISIBILITY_PRESET hidden
    VISIBILITY_INLINES_HIDDEN ON)
  if(NOT WIN32)
    # Once loaded, the binary stays, as the AAX module does: the framework's process-wide
    # objects (the timer registry) live as long as the process.
    target_link_options(${target} PRIVATE "LINKER:--version-script=${TB_VST3_EXPORT_MAP}" "LINKER:-z,nodelete"
                        "LINKER:--no-undefined")
    set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${TB_VST3_EXPORT_MAP})
  endif()

  # What hosts read before they load the binary.
  set(TB_VST3_NAME ${ARG_NAME})
  set(TB_VST3_VENDOR ${ARG_VENDOR})
  set(TB_VST3_VERSION ${TOLLENBROOK_VERSION})
  set(TB_VST3_COMPONENT_CID ${component_text})
  set(TB_VST3_CONTROLLER_CID ${controller_text})
  string(REPLACE "|" "\", \"" TB_VST3_SUBCATEGORY_LIST "${ARG_SUBCATEGORIES}")
  configure_file(${CMAKE_SOURCE_DIR}/cmake/VST3ModuleInfo.json.in ${bundle_dir}/Contents/Resources/moduleinfo.json @ONLY)

  if(TOLLENBROOK_TESTS)
    # moduleinfo.json is JSON a strict parser takes (hosts read it before loading the binary).
    find_package(Python3 COMPONENTS Interpreter REQUIRED)
    add_test(NAME ${target}_moduleinfo
      COMMAND ${Python3_EXECUTABLE} -c "import json, sys; json.load(open(sys.argv[1], encoding='utf-8'))"
              ${bundle_dir}/Contents/Resources/moduleinfo.json)
    tb_module_exports_test(${target}_exports ${target} "${TB_VST3_ENTRY_POINTS}")
  endif()

  if(ARG_PRESETS AND NOT CMAKE_CROSSCOMPILING)
    set(presets_dir ${CMAKE_BINARY_DIR}/vst3-presets/${ARG_VENDOR}/${ARG_NAME})
    set(TOLLENBROOK_VST3_PRESETS_DIR ${presets_dir} CACHE INTERNAL "folder of the built VST3 presets")
    add_executable(${target}_preset_tool ${CMAKE_SOURCE_DIR}/tools/vst3-presets/main.cpp)
    target_link_libraries(${target}_preset_tool PRIVATE ${ARG_PRODUCT})
    set_target_properties(${target}_preset_tool PROPERTIES OUTPUT_NAME tollenbrook-vst3-presets
                          RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tools/vst3-presets)
    file(GLOB preset_files CONFIGURE_DEPENDS ${ARG_PRESETS}/*.fxp)
    set(stamp ${CMAKE_CURRENT_BINARY_DIR}/${target}_presets.stamp)
    # The tool makes plug-in objects and exits; a sanitizer build need not judge the
    # process-wide objects it leaves to the end.
    add_custom_command(
      OUTPUT ${stamp}
      COMMAND ${CMAKE_COMMAND} -E rm -rf ${presets_dir}
      COMMAND ${CMAKE_COMMAND} -E env ASAN_OPTIONS=detect_leaks=0
              $<TARGET_FILE:${target}_preset_tool> ${presets_dir} ${component_text} ${preset_files}
      COMMAND ${CMAKE_COMMAND} -E touch ${stamp}
      DEPENDS ${target}_preset_tool ${preset_files}
      COMMENT "Writing the VST3 presets of ${ARG_NAME}"
      VERBATIM)
    add_custom_target(${target}_presets DEPENDS ${stamp})
    add_dependencies(${target} ${target}_presets)
    install(DIRECTORY ${presets_dir}/ DESTINATION share/vst3/presets/${ARG_VENDOR}/${ARG_NAME} COMPONENT vst3)
  endif()

  if(NOT WIN32)
    install(TARGETS ${target} LIBRARY DESTINATION lib/vst3/${ARG_NAME}.vst3/Contents/x86_64-linux COMPONENT vst3)
    install(FILES ${bundle_dir}/Contents/Resources/moduleinfo.json
            DESTINATION lib/vst3/${ARG_NAME}.vst3/Contents/Resources COMPONENT vst3)
  endif()
endfunction()

# The benchmark program drives the built bundle through the VST3 tests' small host.
function(tb_vst3_bench target)
  target_sources(${target} PRIVATE ${CMAKE_SOURCE_DIR}/tests/IPlug/VST3/VST3Rig.cpp)
  target_include_directories(${target} PRIVATE ${CMAKE_SOURCE_DIR}/tests)
  target_include_directories(${target} SYSTEM PRIVATE ${TB_VST3_INTERFACES_DIR})
  target_compile_definitions(${target} PRIVATE TOLLENBROOK_VST3_BINARY="${TOLLENBROOK_VST3_BINARY}")
  target_link_libraries(${target} PRIVATE ${CMAKE_DL_LIBS})
  add_dependencies(${target} tollenbrook_vst3)
endfunction()
