# An LV2 bundle (Linux): a folder lv2/<Name>.lv2 of the build tree (lv2/ holds bundles only,
# so it can stand in LV2_PATH as it is) holding the binary <Name>.so, which exports
# lv2_descriptor and nothing else, the user interface <Name>UI.so (ui:X11UI, the editor),
# which exports lv2ui_descriptor and nothing else, and their Turtle, manifest.ttl and <Name>.ttl. The Turtle is
# written at build time by tools/lv2-turtle, which makes a plug-in object with the product's
# factory and describes it from its own parameter table.
#
#   tb_lv2_bundle(<target> NAME <Name> PRODUCT <library> DSP_PRODUCT <library> [CATEGORY <LV2 class prefix>]
#                 [PRESETS <folder of .fxp program files>])
#
# PRODUCT is the product built on the LV2 binding (iplug_lv2) with its editor, which the user
# interface links; DSP_PRODUCT the same product whose objects never open a window, which the
# binary that hosts load to process audio links: it needs no window system, OpenGL or drawing
# library, and carries no images. PRESETS names the factory program files, which the generator
# reads with the plug-in's own program reader into presets.ttl (LV2 presets). Provides the target
# <target> (the binary, after which the Turtle is always current), the cache entry
# TOLLENBROOK_LV2_BUNDLE_DIR (and TOLLENBROOK_LV2_PATH, its parent), and the install rule of component "lv2" into <prefix>/lib/lv2.

set(TB_LV2_EXPORT_MAP ${CMAKE_SOURCE_DIR}/IPlug/LV2/LV2_Exports.map CACHE INTERNAL "export list of an LV2 binary")
set(TB_LV2UI_EXPORT_MAP ${CMAKE_SOURCE_DIR}/IPlug/LV2/LV2UI_Exports.map CACHE INTERNAL "export list of an LV2 UI binary")

# One binary of the bundle: only the symbols of export_map leave it; once loaded it stays,
# as the AAX module does, so process-wide objects of the framework are never lost to an
# unload.
function(tb_lv2_binary target name dir product entry export_map)
  add_library(${target} SHARED ${entry})
  target_link_libraries(${target} PRIVATE ${product})
  set_target_properties(${target} PROPERTIES
    OUTPUT_NAME ${name}
    PREFIX ""
    LIBRARY_OUTPUT_DIRECTORY ${dir}
    CXX_VISIBILITY_PRESET hidden
    C_VISIBILITY_PRESET hidden
    VISIBILITY_INLINES_HIDDEN ON)
  target_link_options(${target} PRIVATE "LINKER:--version-script=${export_map}" "LINKER:-z,nodelete"
                      "LINKER:--no-undefined")
  set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${export_map})
endfunction()

function(tb_lv2_bundle target)
  cmake_parse_arguments(ARG "" "NAME;PRODUCT;DSP_PRODUCT;CATEGORY;PRESETS" "" ${ARGN})
  set(bundle_dir ${CMAKE_BINARY_DIR}/lv2/${ARG_NAME}.lv2)
  set(TOLLENBROOK_LV2_BUNDLE_DIR ${bundle_dir} CACHE INTERNAL "folder of the built LV2 bundle")
  set(TOLLENBROOK_LV2_PATH ${CMAKE_BINARY_DIR}/lv2 CACHE INTERNAL "folder of the built LV2 bundles")

  add_executable(${target}_turtle_tool ${CMAKE_SOURCE_DIR}/tools/lv2-turtle/main.cpp
                 ${CMAKE_SOURCE_DIR}/tools/lv2-turtle/LV2PresetWriter.cpp)
  target_link_libraries(${target}_turtle_tool PRIVATE ${ARG_DSP_PRODUCT})
  set_target_properties(${target}_turtle_tool PROPERTIES OUTPUT_NAME tollenbrook-lv2-turtle
                        RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tools/lv2-turtle)
  set(turtle ${bundle_dir}/manifest.ttl ${bundle_dir}/${ARG_NAME}.ttl)
  set(preset_args)
  set(preset_files)
  if(ARG_PRESETS)
    file(GLOB preset_files CONFIGURE_DEPENDS ${ARG_PRESETS}/*.fxp)
    set(preset_args --presets ${ARG_PRESETS})
    list(APPEND turtle ${bundle_dir}/presets.ttl)
  endif()
  # The generator makes one plug-in object and exits; a sanitizer build need not judge the
  # process-wide objects it leaves to the end.
  add_custom_command(
    OUTPUT ${turtle}
    COMMAND ${CMAKE_COMMAND} -E env ASAN_OPTIONS=detect_leaks=0
            $<TARGET_FILE:${target}_turtle_tool> ${bundle_dir} ${ARG_CATEGORY} ${preset_args}
    DEPENDS ${target}_turtle_tool ${preset_files}
    COMMENT "Describing the LV2 bundle ${ARG_NAME}.lv2"
    VERBATIM)
  add_custom_target(${target}_turtle DEPENDS ${turtle})

  tb_lv2_binary(${target} ${ARG_NAME} ${bundle_dir} ${ARG_DSP_PRODUCT} ${CMAKE_SOURCE_DIR}/IPlug/LV2/IPlugLV2_Entry.cpp
                ${TB_LV2_EXPORT_MAP})
  # The editor as the bundle's user interface (ui:X11UI), a binary of its own.
  tb_lv2_binary(${target}_ui ${ARG_NAME}UI ${bundle_dir} ${ARG_PRODUCT} ${CMAKE_SOURCE_DIR}/IPlug/LV2/IPlugLV2_UIEntry.cpp
                ${TB_LV2UI_EXPORT_MAP})
  add_dependencies(${target} ${target}_ui)
  add_dependencies(${target} ${target}_turtle)

  install(TARGETS ${target} ${target}_ui LIBRARY DESTINATION lib/lv2/${ARG_NAME}.lv2 COMPONENT lv2)
  install(FILES ${turtle} DESTINATION lib/lv2/${ARG_NAME}.lv2 COMPONENT lv2)
endfunction()
