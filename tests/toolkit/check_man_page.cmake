# The man page names the version being built and formats without a warning.
#   cmake -DPAGE=oxelc.1 -DVERSION=x.y.z [-DGROFF=groff] -P check_man_page.cmake
cmake_minimum_required(VERSION 3.20)
file(STRINGS ${PAGE} title REGEX "^\\.TH ")
if(NOT title MATCHES "\"oxelc ${VERSION}\"")
  message(FATAL_ERROR "the .TH line does not name oxelc ${VERSION}: ${title}")
endif()
if(GROFF)
  execute_process(COMMAND ${GROFF} -man -Tutf8 -ww -z ${PAGE}
                  RESULT_VARIABLE status ERROR_VARIABLE warnings)
  if(NOT status EQUAL 0 OR NOT warnings STREQUAL "")
    message(FATAL_ERROR "groff (${status}):\n${warnings}")
  endif()
endif()
