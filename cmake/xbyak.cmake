# xbyak, the header-only x86-64 assembler the machine-code tier writes its
# code with (Debian libxbyak-dev). The machine layer sees it through a
# folder of the build tree that links to its header folder alone, so the
# Windows cross build finds it without seeing the rest of /usr/include.
set(OXEL_XBYAK_DIR /usr/include/xbyak CACHE PATH "The folder holding xbyak.h")
if(NOT EXISTS ${OXEL_XBYAK_DIR}/xbyak.h)
  message(FATAL_ERROR "xbyak.h not found in ${OXEL_XBYAK_DIR}: install libxbyak-dev (scripts/install-deps.sh build) "
                      "or set OXEL_XBYAK_DIR")
endif()
set(OXEL_XBYAK_INCLUDE ${CMAKE_BINARY_DIR}/xbyak_include)
file(MAKE_DIRECTORY ${OXEL_XBYAK_INCLUDE})
if(NOT EXISTS ${OXEL_XBYAK_INCLUDE}/xbyak)
  if(CMAKE_HOST_WIN32)
    file(COPY ${OXEL_XBYAK_DIR}/ DESTINATION ${OXEL_XBYAK_INCLUDE}/xbyak)
  else()
    file(CREATE_LINK ${OXEL_XBYAK_DIR} ${OXEL_XBYAK_INCLUDE}/xbyak SYMBOLIC)
  endif()
endif()
target_include_directories(oxel_machine SYSTEM PRIVATE ${OXEL_XBYAK_INCLUDE})
