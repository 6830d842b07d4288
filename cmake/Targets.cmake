# Each source folder is one library whose sources are the .cpp/.c files found in it,
# and each tests/ folder one test program; adding a file needs no edit here.

function(tb_library name dir)
  cmake_parse_arguments(ARG "" "" "DEPS;PUBLIC_INCLUDES;WIN32_LIBS" ${ARGN})
  if(WIN32)
    list(APPEND ARG_DEPS ${ARG_WIN32_LIBS})
  endif()
  file(GLOB srcs CONFIGURE_DEPENDS ${dir}/*.cpp ${dir}/*.c)
  if(srcs)
    add_library(${name} STATIC ${srcs})
  else()
    add_library(${name} INTERFACE)
  endif()
  get_target_property(kind ${name} TYPE)
  if(kind STREQUAL "INTERFACE_LIBRARY")
    target_include_directories(${name} INTERFACE ${CMAKE_SOURCE_DIR} ${ARG_PUBLIC_INCLUDES})
    if(ARG_DEPS)
      target_link_libraries(${name} INTERFACE ${ARG_DEPS})
    endif()
  else()
    target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR} ${ARG_PUBLIC_INCLUDES})
    if(ARG_DEPS)
      target_link_libraries(${name} PUBLIC ${ARG_DEPS})
    endif()
  endif()
endfunction()

# One test program per tests/ folder, run under Wine for the Windows flavour.
function(tb_test_program name dir)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB srcs CONFIGURE_DEPENDS ${dir}/*.cpp)
  if(NOT srcs)
    return()
  endif()
  file(GLOB support CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/support/*.cpp)
  add_executable(${name} ${srcs} ${support})
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} tb_gtest_main)
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR} ${CMAKE_SOURCE_DIR}/tests)
  add_test(NAME ${name} COMMAND ${name} --gtest_color=no)
  set_tests_properties(${name} PROPERTIES
    ENVIRONMENT "TOLLENBROOK_SOURCE_DIR=${CMAKE_SOURCE_DIR};TOLLENBROOK_BINARY_DIR=${CMAKE_BINARY_DIR}"
    TIMEOUT 900)
endfunction()

# Adds a test that fails unless the module exports exactly `expected` (a list of names): a
# plug-in module shows a host its entry points and nothing else.
function(tb_module_exports_test test_name module_target expected)
  if(WIN32)
    find_program(TB_OBJDUMP NAMES ${CMAKE_CXX_COMPILER_TARGET}-objdump x86_64-w64-mingw32-objdump objdump REQUIRED)
    set(tool ${TB_OBJDUMP})
  else()
    find_program(TB_NM NAMES nm REQUIRED)
    set(tool ${TB_NM})
  endif()
  add_test(NAME ${test_name}
    COMMAND ${CMAKE_COMMAND} -DMODULE=$<TARGET_FILE:${module_target}> -DTOOL=${tool} -DWINDOWS=${WIN32}
            "-DEXPECTED=${expected}" -P ${CMAKE_SOURCE_DIR}/cmake/CheckModuleExports.cmake)
endfunction()
