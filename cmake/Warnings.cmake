# Warnings on for everything we compile; third-party sources opt out with tb_quiet_sources().
add_compile_options(
  $<$<COMPILE_LANGUAGE:CXX>:-Wall>
  $<$<COMPILE_LANGUAGE:CXX>:-Wextra>
  $<$<COMPILE_LANGUAGE:C>:-Wall>
  $<$<COMPILE_LANGUAGE:C>:-Wextra>
)
if(WIN32)
  # Windows 10 APIs (GetDpiForWindow is looked up at run time, but the types are needed).
  add_compile_definitions(_WIN32_WINNT=0x0A00 WINVER=0x0A00 UNICODE _UNICODE NOMINMAX WIN32_LEAN_AND_MEAN)
endif()

function(tb_quiet_sources)
  set_source_files_properties(${ARGN} PROPERTIES COMPILE_OPTIONS "-w")
endfunction()
