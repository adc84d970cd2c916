# Runs every program of a Markdown document and compares what it does with
# the expectations written beside it, byte for byte. The blocks, fenced with
# three backquotes at the start of a line and told apart by their info string:
#
#   ```oxel [NAME.ox]   a program (saved as NAME.ox, else prog.ox) and run
#   ```input            its standard input                  (missing: empty)
#   ```output           its standard output                 (missing: empty)
#   ```error            its standard error; the run must end with status 1
#                       (missing: empty, and the status must be 0)
#   ```listing          what oxelc --dump writes for it      (missing: unchecked)
#   ```file NAME        a file that the next program finds beside it
#
# input, output, error and listing belong to the program above them; every
# program needs an output or an error block, so none is left unchecked by
# mistake.
# Other blocks (```text, ```sh, ...) are left alone. With -DLIBRARY=dir, the
# headers of that folder (the library) stand beside every program.
#
#   cmake -DOXELC=path/to/oxelc -DDOC=guide.md -DSCRATCH=dir [-DLIBRARY=lib] -P check_examples.cmake
cmake_minimum_required(VERSION 3.20)
foreach(var OXELC DOC SCRATCH)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "${var} is not set")
  endif()
endforeach()

get_filename_component(OXELC ${OXELC} ABSOLUTE)
file(READ ${DOC} text)
string(REPLACE "\r\n" "\n" text "${text}")
set(text "\n${text}")
file(REMOVE_RECURSE ${SCRATCH})
set(library_headers "")
if(LIBRARY)
  file(GLOB library_headers ${LIBRARY}/*.oxh)
endif()

set(failures "")
set(programs 0)
set(pending_files "")   # names of the files waiting for the next program
set(prog_line "")       # line of the program being collected, empty if none

# Runs the collected program and records a failure with its line.
macro(finish_program)
  if(NOT prog_line STREQUAL "")
    math(EXPR programs "${programs} + 1")
    set(dir ${SCRATCH}/line${prog_line})
    if(NOT has_output AND NOT has_error)
      message("${DOC}:${prog_line}: the program has no output or error block")
      list(APPEND failures ${prog_line})
    else()
      file(WRITE ${dir}/${prog_name} "${prog_text}")
      foreach(f IN LISTS pending_files)
        file(WRITE ${dir}/${f} "${file_text_${f}}")
      endforeach()
      if(library_headers)
        file(COPY ${library_headers} DESTINATION ${dir})
      endif()
      file(WRITE ${dir}/.stdin "${prog_input}")
      execute_process(COMMAND ${OXELC} ${prog_name}
                      WORKING_DIRECTORY ${dir}
                      INPUT_FILE ${dir}/.stdin
                      OUTPUT_VARIABLE got_out
                      ERROR_VARIABLE got_err
                      RESULT_VARIABLE got_status
                      TIMEOUT 30)
      set(want_status 0)
      if(has_error)
        set(want_status 1)
      endif()
      set(bad "")
      if(NOT got_out STREQUAL prog_output)
        string(APPEND bad "standard output differs\n--- expected ---\n${prog_output}--- actual ---\n${got_out}---\n")
      endif()
      if(NOT got_err STREQUAL prog_error)
        string(APPEND bad "standard error differs\n--- expected ---\n${prog_error}--- actual ---\n${got_err}---\n")
      endif()
      if(NOT got_status STREQUAL want_status)
        string(APPEND bad "exit status: expected ${want_status}, got ${got_status}\n")
      endif()
      if(has_listing)
        execute_process(COMMAND ${OXELC} --dump ${prog_name}
                        WORKING_DIRECTORY ${dir}
                        OUTPUT_VARIABLE dump_out
                        ERROR_VARIABLE dump_err
                        RESULT_VARIABLE dump_status
                        TIMEOUT 30)
        if(NOT dump_err STREQUAL prog_listing OR NOT dump_out STREQUAL "" OR NOT dump_status STREQUAL "0")
          string(APPEND bad "the listing differs (status ${dump_status})\n--- expected ---\n${prog_listing}--- actual ---\n${dump_err}---\n")
        endif()
      endif()
      if(NOT bad STREQUAL "")
        message("${DOC}:${prog_line}: ${bad}")
        list(APPEND failures ${prog_line})
      endif()
    endif()
    set(pending_files "")
    set(prog_line "")
  endif()
endmacro()

set(offset 0)
string(LENGTH "${text}" text_len)
while(TRUE)
  string(SUBSTRING "${text}" ${offset} -1 rest)
  string(FIND "${rest}" "\n```" at)
  if(at EQUAL -1)
    break()
  endif()
  math(EXPR fence "${offset} + ${at} + 1")          # first backquote
  string(SUBSTRING "${text}" 0 ${fence} before)
  string(REGEX MATCHALL "\n" newlines "${before}")
  list(LENGTH newlines line)                        # 1-based line of the fence

  # the info string runs to the end of the fence line
  math(EXPR info_start "${fence} + 3")
  string(SUBSTRING "${text}" ${info_start} -1 rest)
  string(FIND "${rest}" "\n" eol)
  if(eol EQUAL -1)
    message(FATAL_ERROR "${DOC}:${line}: the block is not closed")
  endif()
  string(SUBSTRING "${rest}" 0 ${eol} info)
  string(STRIP "${info}" info)
  # the body runs from the next line to the closing fence; it keeps its last
  # line feed
  string(SUBSTRING "${rest}" ${eol} -1 rest)
  string(FIND "${rest}" "\n```" close)
  if(close EQUAL -1)
    message(FATAL_ERROR "${DOC}:${line}: the block is not closed")
  endif()
  if(close EQUAL 0)
    set(body "")
  else()
    string(SUBSTRING "${rest}" 1 ${close} body)
  endif()
  # go on after the closing fence line
  math(EXPR offset "${info_start} + ${eol} + ${close} + 4")
  string(SUBSTRING "${text}" ${offset} -1 rest)
  string(FIND "${rest}" "\n" eol)
  if(eol EQUAL -1)
    set(offset ${text_len})
  else()
    math(EXPR offset "${offset} + ${eol}")
  endif()

  if(info MATCHES "^oxel( +([^ ]+))?$")
    finish_program()
    set(prog_name prog.ox)
    if(CMAKE_MATCH_2)
      set(prog_name ${CMAKE_MATCH_2})
    endif()
    set(prog_line ${line})
    set(prog_text "${body}")
    set(prog_input "")
    set(prog_output "")
    set(prog_error "")
    set(has_input FALSE)
    set(has_listing FALSE)
    set(has_output FALSE)
    set(has_error FALSE)
  elseif(info MATCHES "^file +([^ ]+)$")
    finish_program()
    list(APPEND pending_files ${CMAKE_MATCH_1})
    set(file_text_${CMAKE_MATCH_1} "${body}")
  elseif(info MATCHES "^(input|output|error|listing)$")
    if(prog_line STREQUAL "")
      message("${DOC}:${line}: an ${info} block without a program above it")
      list(APPEND failures ${line})
    elseif(has_${info})
      message("${DOC}:${line}: a second ${info} block for one program")
      list(APPEND failures ${line})
    else()
      set(prog_${info} "${body}")
      set(has_${info} TRUE)
    endif()
  endif()
endwhile()
finish_program()

list(LENGTH failures failed)
if(failed GREATER 0)
  list(JOIN failures " " where)
  message(FATAL_ERROR "${failed} faults among ${programs} programs, at lines: ${where}")
endif()
if(programs EQUAL 0)
  message(FATAL_ERROR "${DOC} holds no program")
endif()
message("${programs} programs agree with ${DOC}")
