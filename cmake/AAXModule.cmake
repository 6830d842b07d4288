# An AAX module is a shared library that exports exactly the seven ACF entry points, which the
# library defines in aax_library. Nothing in a module calls them, so a plain static link would
# drop them: each is named with the linker's -u so it is pulled in (and on Windows so is the
# library's DllMain, which stores the module handle). On Linux a version script keeps every
# other symbol local; on Windows only the entry points carry dllexport.
#
#   tb_aax_module(<name> SOURCES <files...> [DEPS <libraries...>] [OUTPUT_DIRECTORY <dir>])
#
# The module's sources must define GetEffectDescriptions (aax-library/AAX_ICollection.h).

# Cache entries, so the functions see them from any directory.
set(TB_AAX_ENTRY_POINTS
  ACFCanUnloadNow ACFGetClassFactory ACFGetSDKVersion ACFRegisterComponent
  ACFRegisterPlugin ACFShutdown ACFStartup CACHE INTERNAL "entry points of an AAX module")
set(TB_AAX_EXPORT_MAP ${CMAKE_SOURCE_DIR}/aax-library/AAX_Exports.map CACHE INTERNAL "export list of an AAX module")

function(tb_aax_module name)
  cmake_parse_arguments(ARG "" "OUTPUT_DIRECTORY" "SOURCES;DEPS" ${ARGN})
  add_library(${name} SHARED ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} aax_library)
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR})
  set_target_properties(${name} PROPERTIES
    PREFIX ""
    CXX_VISIBILITY_PRESET hidden
    C_VISIBILITY_PRESET hidden
    VISIBILITY_INLINES_HIDDEN ON)
  foreach(entry IN LISTS TB_AAX_ENTRY_POINTS)
    target_link_options(${name} PRIVATE "LINKER:-u,${entry}")
  endforeach()
  if(WIN32)
    target_link_options(${name} PRIVATE "LINKER:-u,DllMain")
  else()
    target_link_options(${name} PRIVATE "LINKER:--version-script=${TB_AAX_EXPORT_MAP}")
    set_property(TARGET ${name} APPEND PROPERTY LINK_DEPENDS ${TB_AAX_EXPORT_MAP})
  endif()
  if(ARG_OUTPUT_DIRECTORY)
    set_target_properties(${name} PROPERTIES
      LIBRARY_OUTPUT_DIRECTORY ${ARG_OUTPUT_DIRECTORY}
      RUNTIME_OUTPUT_DIRECTORY ${ARG_OUTPUT_DIRECTORY})
  endif()
endfunction()

# Adds a test that fails unless the module exports exactly the seven entry points.
function(tb_aax_module_export_test test_name module_target)
  tb_module_exports_test(${test_name} ${module_target} "${TB_AAX_ENTRY_POINTS}")
endfunction()
