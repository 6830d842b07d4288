# NanoVG and the OpenGL loader, both from Debian packages and nothing of them in the repository:
#   tb_glad    the OpenGL 2.1 compatibility loader with the framebuffer-object extensions,
#              generated at build time by glad (python3-glad) into the build tree
#   tb_nanovg  NanoVG from dpf-source, with stb_image and stb_truetype from libstb-dev
# The GL2 renderer (nanovg_gl.h) and the framebuffer helpers (nanovg_gl_utils.h) are compiled
# by graphics/nanovg, which includes them after the loader's header.

set(TB_NANOVG_DIR /usr/share/dpf/dgl/src/nanovg)
set(TB_STB_DIR /usr/include/stb)
foreach(f ${TB_NANOVG_DIR}/nanovg.c ${TB_NANOVG_DIR}/fontstash.h ${TB_NANOVG_DIR}/nanovg_gl.h
          ${TB_NANOVG_DIR}/nanovg_gl_utils.h ${TB_STB_DIR}/stb_image.h ${TB_STB_DIR}/stb_truetype.h)
  if(NOT EXISTS ${f})
    message(FATAL_ERROR "${f} not found (Debian packages dpf-source and libstb-dev; run scripts/deps)")
  endif()
endforeach()

# ---- OpenGL loader.
# The system interpreter runs glad: the first python3 on PATH may be one without the module.
set(TB_GLAD_PYTHON /usr/bin/python3)
set(TB_GLAD_DIR ${CMAKE_BINARY_DIR}/glad)
set(TB_GLAD_OUTPUTS ${TB_GLAD_DIR}/src/gl.c ${TB_GLAD_DIR}/include/glad/gl.h ${TB_GLAD_DIR}/include/KHR/khrplatform.h)
# --reproducible uses the Khronos registry files shipped with glad instead of fetching them.
add_custom_command(
  OUTPUT ${TB_GLAD_OUTPUTS}
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${TB_GLAD_DIR}
  COMMAND ${TB_GLAD_PYTHON} -m glad --quiet --reproducible
          --api gl:compatibility=2.1
          --extensions GL_ARB_framebuffer_object,GL_EXT_framebuffer_object
          --out-path ${TB_GLAD_DIR} c --loader
  DEPENDS ${CMAKE_CURRENT_LIST_FILE}
  COMMENT "Generating the OpenGL 2.1 loader with glad"
  VERBATIM)
add_library(tb_glad STATIC ${TB_GLAD_DIR}/src/gl.c)
target_include_directories(tb_glad SYSTEM PUBLIC ${TB_GLAD_DIR}/include)
tb_quiet_sources(${TB_GLAD_DIR}/src/gl.c)
if(NOT WIN32)
  target_link_libraries(tb_glad PUBLIC ${CMAKE_DL_LIBS})
endif()

# ---- NanoVG.
# nanovg.c and fontstash.h include their stb headers with quotes, which finds the older copies
# beside them first. Copies of these two files in the build tree make the include path decide,
# so the libstb-dev headers are used; every other NanoVG header is read from its package.
set(TB_NANOVG_BUILD_DIR ${CMAKE_BINARY_DIR}/nanovg)
configure_file(${TB_NANOVG_DIR}/nanovg.c ${TB_NANOVG_BUILD_DIR}/nanovg.c COPYONLY)
configure_file(${TB_NANOVG_DIR}/fontstash.h ${TB_NANOVG_BUILD_DIR}/fontstash.h COPYONLY)
add_library(tb_nanovg STATIC ${TB_NANOVG_BUILD_DIR}/nanovg.c)
# This NanoVG is compiled as C++ (its declarations carry C linkage through nanovg.h).
set_source_files_properties(${TB_NANOVG_BUILD_DIR}/nanovg.c PROPERTIES LANGUAGE CXX COMPILE_OPTIONS "-w")
target_include_directories(tb_nanovg PRIVATE ${TB_NANOVG_BUILD_DIR} ${TB_STB_DIR})
target_include_directories(tb_nanovg SYSTEM PUBLIC ${TB_NANOVG_DIR})
if(NOT WIN32)
  target_link_libraries(tb_nanovg PUBLIC m)
endif()
