# Installs oxelc into a fresh folder, or builds the Debian package and unpacks
# it there, and checks what a user gets: a stripped binary, the man page, the
# guide, and examples that run from their installed folder and print what
# their .out files say.
#   cmake -DHOW=install -DBUILD=build-dir -DSCRATCH=dir [-DNM=nm] -P check_installed.cmake
#   cmake -DHOW=deb -DBUILD=build-dir -DSCRATCH=dir -DCPACK=cpack -DVERSION=x.y.z [-DNM=nm] -P ...
#   cmake -DHOW=zip (as deb) [-DEMULATOR=wine-run.sh] -P ...
cmake_minimum_required(VERSION 3.20)
file(REMOVE_RECURSE ${SCRATCH})
file(MAKE_DIRECTORY ${SCRATCH})

macro(run)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE out)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "${ARGN} failed (${status}):\n${out}")
  endif()
endmacro()

if(HOW STREQUAL "install")
  set(root ${SCRATCH}/prefix)
  run(${CMAKE_COMMAND} --install ${BUILD} --prefix ${root})
elseif(HOW STREQUAL "deb")
  # A package folder of our own, so a package made by hand in the build tree
  # is left alone.
  run(${CPACK} --config ${BUILD}/CPackConfig.cmake -G DEB -B ${SCRATCH}/out)
  file(GLOB debs ${SCRATCH}/out/*.deb)
  list(LENGTH debs count)
  if(NOT count EQUAL 1)
    message(FATAL_ERROR "expected one package, found: ${debs}")
  endif()
  run(dpkg-deb --field ${debs} Package Version)
  if(NOT out MATCHES "Package: oxelc\nVersion: ${VERSION}\n")
    message(FATAL_ERROR "package fields:\n${out}")
  endif()
  run(dpkg-deb -x ${debs} ${SCRATCH}/root)
  set(root ${SCRATCH}/root/usr)
elseif(HOW STREQUAL "zip")
  # The Windows zip: one folder, its programs run through EMULATOR if given.
  run(${CPACK} --config ${BUILD}/CPackConfig.cmake -B ${SCRATCH}/out)
  file(GLOB zips ${SCRATCH}/out/*.zip)
  list(LENGTH zips count)
  if(NOT count EQUAL 1)
    message(FATAL_ERROR "expected one zip, found: ${zips}")
  endif()
  file(ARCHIVE_EXTRACT INPUT ${zips} DESTINATION ${SCRATCH}/root)
  set(root ${SCRATCH}/root/oxelc-${VERSION}-win64)
else()
  message(FATAL_ERROR "HOW must be install, deb or zip")
endif()

set(doc ${root}/share/doc/oxelc)
set(binary ${root}/bin/oxelc)
set(expected bin/oxelc share/man/man1/oxelc.1 share/doc/oxelc/guide.md bin/oxel-lint share/man/man1/oxel-lint.1
             share/doc/oxelc/lint.md)
if(HOW STREQUAL "zip")
  set(doc ${root})
  set(binary ${root}/oxelc.exe)
  set(expected oxelc.exe guide.md README.md)
endif()
foreach(f IN LISTS expected)
  if(NOT EXISTS ${root}/${f})
    message(FATAL_ERROR "${f} is not installed")
  endif()
endforeach()

# No symbol table left in the binary.
if(NM)
  execute_process(COMMAND ${NM} ${binary} OUTPUT_VARIABLE symbols ERROR_VARIABLE nm_err)
  if(NOT symbols STREQUAL "")
    message(FATAL_ERROR "${binary} is not stripped")
  endif()
endif()

file(GLOB examples ${doc}/examples/*.ox)
list(LENGTH examples count)
if(count LESS 5)
  message(FATAL_ERROR "only ${count} examples installed")
endif()
foreach(prog IN LISTS examples)
  get_filename_component(name ${prog} NAME_WE)
  set(input /dev/null)
  if(EXISTS ${doc}/examples/${name}.in)
    set(input ${doc}/examples/${name}.in)
  endif()
  execute_process(COMMAND ${EMULATOR} ${binary} ${name}.ox
                  WORKING_DIRECTORY ${doc}/examples
                  INPUT_FILE ${input}
                  OUTPUT_VARIABLE got ERROR_VARIABLE err RESULT_VARIABLE status
                  TIMEOUT 30)
  file(READ ${doc}/examples/${name}.out want)
  if(NOT HOW STREQUAL "zip")
    execute_process(COMMAND ${root}/bin/oxel-lint ${name}.ox WORKING_DIRECTORY ${doc}/examples
                    OUTPUT_VARIABLE lint_out ERROR_VARIABLE lint_out RESULT_VARIABLE lint_status)
    if(NOT lint_status EQUAL 0)
      message(FATAL_ERROR "oxel-lint on the installed ${name}.ox: status ${lint_status}\n${lint_out}")
    endif()
  endif()
  if(NOT status EQUAL 0 OR NOT err STREQUAL "" OR NOT got STREQUAL want)
    message(FATAL_ERROR "${name}.ox run from the installed examples: status ${status}\n${err}\n--- expected ---\n${want}--- actual ---\n${got}")
  endif()
endforeach()
message("${HOW}: ${expected} and ${count} examples in place")
