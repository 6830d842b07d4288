# cmake -DCOMMAND=<list> -DSTATUS=<exit status> -DREGEX=<regular expression> -P RunAndMatch.cmake
# Runs the command; fails unless it exits with STATUS and its output matches REGEX.
list(FILTER COMMAND EXCLUDE REGEX "^$")
execute_process(COMMAND ${COMMAND} RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
message("${out}${err}")
if(NOT "${status}" STREQUAL "${STATUS}")
  message(FATAL_ERROR "exit status ${status}, expected ${STATUS}")
endif()
if(NOT out MATCHES "${REGEX}")
  message(FATAL_ERROR "no line of the output matches: ${REGEX}")
endif()
