# Runs one golden program and compares what it did with its sidecars, byte for byte.
#   case.ox      the program
#   case.out     expected standard output   (missing: empty)
#   case.err     expected standard error    (missing: empty)
#   case.code    expected exit status       (missing: 0)
#   case.in      standard input             (missing: empty)
#   case.args    arguments, one per line    (missing: the program's file name)
#   case.env     environment variables for the run, NAME=VALUE one per line
#   case.files/  copied into the scratch folder before the run
#   -DDATA=a;b   more files copied into the scratch folder before the run
#   -DLIBRARY=d  the headers of d copied into ../lib beside the scratch folder
#   -DJIT=mode   OXEL_JIT=mode in the run's environment, unless "default"
#   case.expect/ files the scratch folder must hold afterwards, byte for byte
# The run happens in a fresh scratch folder, so paths in messages are stable.
#
# With OXEL_UPDATE_GOLDEN=1 in the environment, a mismatch rewrites the
# sidecars from what the run did instead of failing (scripts/update-golden.sh),
# so a deliberate change shows up as a diff to review.
set(update "$ENV{OXEL_UPDATE_GOLDEN}")
get_filename_component(dir ${PROG} DIRECTORY)
get_filename_component(name ${PROG} NAME_WE)
get_filename_component(file ${PROG} NAME)
set(base ${dir}/${name})

file(REMOVE_RECURSE ${SCRATCH})
file(MAKE_DIRECTORY ${SCRATCH})
file(COPY ${PROG} DESTINATION ${SCRATCH})
if(IS_DIRECTORY ${base}.files)
  file(COPY ${base}.files/ DESTINATION ${SCRATCH})
endif()
if(DATA)
  file(COPY ${DATA} DESTINATION ${SCRATCH})
endif()
if(LIBRARY)
  file(GLOB headers ${LIBRARY}/*.oxh)
  file(REMOVE_RECURSE ${SCRATCH}/../lib)
  file(COPY ${headers} DESTINATION ${SCRATCH}/../lib)
endif()

set(command ${OXELC} ${file})
if(EXISTS ${base}.args)
  # One argument per line, empty ones included, which a CMake list would drop.
  set(command sh ${CMAKE_CURRENT_LIST_DIR}/run_with_args.sh ${OXELC} ${base}.args)
endif()

if(EXISTS ${base}.env)
  file(STRINGS ${base}.env variables)
  set(command ${CMAKE_COMMAND} -E env ${variables} ${command})
endif()

# -DJIT=mode: the run with OXEL_JIT set so, against the same sidecars
# ("default" leaves it as it is).
if(DEFINED JIT AND NOT JIT STREQUAL "default")
  set(command ${CMAKE_COMMAND} -E env OXEL_JIT=${JIT} ${command})
endif()

set(input /dev/null)
if(EXISTS ${base}.in)
  set(input ${base}.in)
endif()

set(actual_out ${SCRATCH}.stdout)
set(actual_err ${SCRATCH}.stderr)
execute_process(COMMAND ${command}
                WORKING_DIRECTORY ${SCRATCH}
                INPUT_FILE ${input}
                OUTPUT_FILE ${actual_out}
                ERROR_FILE ${actual_err}
                RESULT_VARIABLE status
                TIMEOUT 60)

set(failed FALSE)
macro(check_same expected actual what)
  set(expected_file ${expected})
  if(NOT EXISTS ${expected_file})
    set(expected_file ${SCRATCH}.empty)
    file(WRITE ${expected_file} "")
  endif()
  execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${expected_file} ${actual}
                  RESULT_VARIABLE differs OUTPUT_QUIET ERROR_QUIET)
  if(differs AND update)
    file(READ ${actual} got)
    if(EXISTS ${expected} OR NOT got STREQUAL "")
      file(COPY_FILE ${actual} ${expected})
      message("updated ${expected}")
    endif()
  elseif(differs)
    file(READ ${expected_file} want)
    file(READ ${actual} got)
    message("${what} differs.\n--- expected ---\n${want}\n--- actual ---\n${got}\n---")
    set(failed TRUE)
  endif()
endmacro()

check_same(${base}.out ${actual_out} "standard output")
check_same(${base}.err ${actual_err} "standard error")

set(expected_status 0)
if(EXISTS ${base}.code)
  file(READ ${base}.code expected_status)
  string(STRIP "${expected_status}" expected_status)
endif()
if(NOT "${status}" STREQUAL "${expected_status}" AND update)
  if("${status}" STREQUAL "0")
    file(REMOVE ${base}.code)
  else()
    file(WRITE ${base}.code "${status}\n")
  endif()
  message("updated ${base}.code")
elseif(NOT "${status}" STREQUAL "${expected_status}")
  message("exit status: expected ${expected_status}, got ${status}")
  set(failed TRUE)
endif()

if(IS_DIRECTORY ${base}.expect)
  file(GLOB_RECURSE expected_files RELATIVE ${base}.expect ${base}.expect/*)
  foreach(f IN LISTS expected_files)
    if(NOT EXISTS ${SCRATCH}/${f})
      message("file ${f} was not written")
      set(failed TRUE)
    else()
      check_same(${base}.expect/${f} ${SCRATCH}/${f} "file ${f}")
    endif()
  endforeach()
endif()

if(failed)
  message(FATAL_ERROR "${file}: mismatch")
endif()
