# The editor's background and film strips are drawn at build time by tools/artwork, a native
# program built with the build machine's own compiler: it has to run here even when the
# plug-in is cross-compiled for Windows.
#
# Provides
#   artwork           target that (re)draws every image into TB_ARTWORK_DIR
#   artwork_preview   target that composes the whole editor at its defaults into
#                     ${CMAKE_BINARY_DIR}/artwork-preview.png (not part of the default build)
#   artwork_images    interface library for consumers that read the images: depending on it
#                     orders them after `artwork` and gives them stb_image's include folder
#   TB_ARTWORK_DIR    folder of the images
#   TB_ARTWORK_IMAGES full paths of the images, BG@2x.png first
# The last two are also the properties TB_ARTWORK_DIR and TB_ARTWORK_IMAGES of `artwork`.
include(ExternalProject)

set(TB_ARTWORK_DIR ${CMAKE_BINARY_DIR}/resources)
set(TB_ARTWORK_IMAGES "")
foreach(name BG BYPASS EXT OVER CTHR LTHR GAIN RAT REC MIX SIDE METER)
  list(APPEND TB_ARTWORK_IMAGES ${TB_ARTWORK_DIR}/${name}@2x.png)
endforeach()

if(CMAKE_CROSSCOMPILING)
  find_program(TB_HOST_CXX NAMES c++ g++ clang++ NO_CMAKE_FIND_ROOT_PATH REQUIRED)
else()
  set(TB_HOST_CXX ${CMAKE_CXX_COMPILER})
endif()

set(TB_ARTWORK_TOOL_DIR ${CMAKE_BINARY_DIR}/tools/artwork)
set(TB_ARTWORK_TOOL ${TB_ARTWORK_TOOL_DIR}/tollenbrook-artwork)
# No toolchain file and none of this build's flags reach the generator: it is a plain
# optimised host program. Its own build is incremental, so running it always costs little
# and picks up every change to its sources.
ExternalProject_Add(artwork_tool
  SOURCE_DIR ${CMAKE_SOURCE_DIR}/tools/artwork
  BINARY_DIR ${TB_ARTWORK_TOOL_DIR}
  CMAKE_ARGS -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_COMPILER=${TB_HOST_CXX}
  INSTALL_COMMAND ""
  BUILD_ALWAYS TRUE
  BUILD_BYPRODUCTS ${TB_ARTWORK_TOOL}
)

add_custom_command(
  OUTPUT ${TB_ARTWORK_IMAGES}
  COMMAND ${TB_ARTWORK_TOOL} ${TB_ARTWORK_DIR}
  DEPENDS artwork_tool ${TB_ARTWORK_TOOL}
  COMMENT "Drawing the editor's images into ${TB_ARTWORK_DIR}"
  VERBATIM)
add_custom_target(artwork ALL DEPENDS ${TB_ARTWORK_IMAGES})
set_target_properties(artwork PROPERTIES TB_ARTWORK_DIR "${TB_ARTWORK_DIR}" TB_ARTWORK_IMAGES "${TB_ARTWORK_IMAGES}")

add_custom_target(artwork_preview
  COMMAND ${TB_ARTWORK_TOOL} --preview ${CMAKE_BINARY_DIR}/artwork-preview.png
  DEPENDS artwork_tool
  COMMENT "Composing the editor at its defaults into ${CMAKE_BINARY_DIR}/artwork-preview.png"
  VERBATIM)

find_path(TB_STB_INCLUDE_DIR stb_image.h PATHS /usr/include/stb NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
if(NOT TB_STB_INCLUDE_DIR)
  message(FATAL_ERROR "stb_image.h not found in /usr/include/stb (Debian package libstb-dev)")
endif()
add_library(artwork_images INTERFACE)
add_dependencies(artwork_images artwork)
target_include_directories(artwork_images SYSTEM INTERFACE ${TB_STB_INCLUDE_DIR})
