# run(COMMAND-AND-ARGS... [WORKING_DIRECTORY dir]): runs a command, its output
# in ${out}, and stops the script with that output when the command fails.
macro(run)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE out)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "${ARGN} failed (${status}):\n${out}")
  endif()
endmacro()
