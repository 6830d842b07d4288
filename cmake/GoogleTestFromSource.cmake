# GoogleTest is compiled from Debian's googletest sources for both flavours, so the
# Windows build and the sanitizer builds use a test library built with the same flags.
set(TB_GTEST_SRC /usr/src/googletest/googletest)
if(NOT EXISTS ${TB_GTEST_SRC}/src/gtest-all.cc)
  message(FATAL_ERROR "GoogleTest sources not found at ${TB_GTEST_SRC} (Debian package googletest)")
endif()
add_library(tb_gtest STATIC ${TB_GTEST_SRC}/src/gtest-all.cc)
target_include_directories(tb_gtest SYSTEM PUBLIC ${TB_GTEST_SRC}/include PRIVATE ${TB_GTEST_SRC})
target_compile_options(tb_gtest PRIVATE -w)
find_package(Threads REQUIRED)
target_link_libraries(tb_gtest PUBLIC Threads::Threads)
add_library(tb_gtest_main STATIC ${TB_GTEST_SRC}/src/gtest_main.cc)
target_compile_options(tb_gtest_main PRIVATE -w)
target_link_libraries(tb_gtest_main PUBLIC tb_gtest)
