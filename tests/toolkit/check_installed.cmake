# Installs oxelc into a fresh folder, or builds the Debian package and unpacks
# it there, and checks what a user gets: a stripped binary, the man page, the
# guide, and examples that run from their installed folder and print what
# their .out files say.
#   cmake -DHOW=install -DBUILD=build-dir -DSCRATCH=dir [-DNM=nm] -P check_installed.cmake
#   cmake -DHOW=deb -DBUILD=build-dir -DSCRATCH=dir -DCPACK=cpack -DVERSION=x.y.z [-DNM=nm] -P ...
#   cmake -DHOW=zip (as deb) -DLIST=windows_zip.txt -DEXAMPLES=src/examples -DLIBRARY=src/lib
#         [-DEMULATOR=wine-run.sh] -P ...
# With -DLINTIAN=lintian, the package must draw no error or warning from it.
cmake_minimum_required(VERSION 3.20)
file(REMOVE_RECURSE ${SCRATCH})
file(MAKE_DIRECTORY ${SCRATCH})

include(${CMAKE_CURRENT_LIST_DIR}/run.cmake)

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
  if(LINTIAN)
    # Informational tags (I:) are left; see cmake/package.cmake.
    execute_process(COMMAND ${LINTIAN} --fail-on error,warning ${debs}
                    RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
    if(NOT status EQUAL 0)
      message(FATAL_ERROR "lintian on the package (${status}):\n${out}${err}")
    endif()
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
set(lint ${root}/bin/oxel-lint)
set(expected bin/oxelc bin/oxel-lint bin/oxel-fmt bin/oxel-lsp bin/oxel-prof bin/oxel-dbg share/man/man1/oxelc.1.gz
             share/man/man1/oxel-lint.1.gz share/man/man1/oxel-fmt.1.gz share/man/man1/oxel-lsp.1.gz
             share/man/man1/oxel-prof.1.gz share/man/man1/oxel-dbg.1.gz
             share/doc/oxelc/guide.md share/doc/oxelc/flame_graph.svg share/doc/oxelc/lint.md share/doc/oxelc/lsp.md share/doc/oxelc/README.md
             share/doc/oxelc/CHANGELOG.md share/doc/oxelc/copyright share/doc/oxelc/changelog.gz
             share/bash-completion/completions/oxel-lint)
if(NOT HOW STREQUAL "zip")
  foreach(site vim/vimfiles nvim/site)
    foreach(f ftdetect/oxel.vim ftplugin/oxel.vim syntax/oxel.vim compiler/oxel-lint.vim)
      list(APPEND expected share/${site}/${f})
    endforeach()
  endforeach()
  list(APPEND expected share/doc/oxelc/editors.md share/nvim/site/plugin/oxel.lua share/nvim/site/lua/oxel/init.lua
       share/emacs/site-lisp/oxel-mode.el share/oxelc/editors/helix/languages.toml
       share/oxelc/editors/textmate/oxel.tmLanguage.json share/oxelc/editors/textmate/language-configuration.json)
endif()
set(library arrays.oxh chars.oxh floatbits.oxh format.oxh math.oxh random.oxh text.oxh)
foreach(h IN LISTS library)
  list(APPEND expected share/oxelc/lib/${h} share/doc/oxelc/lib/${h})
endforeach()
set(library_dir ${root}/share/oxelc/lib)
if(HOW STREQUAL "zip")
  set(doc ${root})
  set(binary ${root}/oxelc.exe)
  set(lint ${root}/oxel-lint.exe)
  # The zip holds exactly the listed files and the examples, nothing else.
  set(library_dir ${root}/lib)
  file(STRINGS ${LIST} expected REGEX "^[^#]")
  set(want ${expected})
  file(GLOB_RECURSE source_examples RELATIVE ${EXAMPLES} ${EXAMPLES}/*)
  foreach(f IN LISTS source_examples)
    list(APPEND want examples/${f})
  endforeach()
  file(GLOB_RECURSE got LIST_DIRECTORIES false RELATIVE ${root} ${root}/*)
  list(SORT want)
  list(SORT got)
  if(NOT got STREQUAL want)
    list(JOIN want "\n" w)
    list(JOIN got "\n" g)
    message(FATAL_ERROR "the zip holds other files than it should\n--- expected ---\n${w}\n--- actual ---\n${g}")
  endif()
endif()
foreach(f IN LISTS expected)
  if(NOT EXISTS ${root}/${f})
    message(FATAL_ERROR "${f} is not installed")
  endif()
endforeach()

# No symbol table left in the binary.
if(NM)
  foreach(program ${binary} ${lint})
    execute_process(COMMAND ${NM} ${program} OUTPUT_VARIABLE symbols ERROR_VARIABLE nm_err)
    if(NOT symbols STREQUAL "")
      message(FATAL_ERROR "${program} is not stripped")
    endif()
  endforeach()
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
  execute_process(COMMAND ${EMULATOR} ${lint} ${name}.ox WORKING_DIRECTORY ${doc}/examples
                  OUTPUT_VARIABLE lint_out ERROR_VARIABLE lint_out RESULT_VARIABLE lint_status TIMEOUT 30)
  if(NOT lint_status EQUAL 0)
    message(FATAL_ERROR "oxel-lint on the installed ${name}.ox: status ${lint_status}\n${lint_out}")
  endif()
  if(NOT status EQUAL 0 OR NOT err STREQUAL "" OR NOT got STREQUAL want)
    message(FATAL_ERROR "${name}.ox run from the installed examples: status ${status}\n${err}\n--- expected ---\n${want}--- actual ---\n${got}")
  endif()
endforeach()
# A program that takes in an installed header by its path: the absolute one
# where the Debian package puts it, lib/ beside the programs in the zip.
set(include_line ${library_dir}/format.oxh)
set(where ${SCRATCH})
if(HOW STREQUAL "zip")
  set(include_line lib/format.oxh)
  set(where ${root})
endif()
file(WRITE ${where}/uses_library.ox "${include_line}\n(r. fmt_fixed 2.5, 3)\necho r\n")
execute_process(COMMAND ${EMULATOR} ${binary} uses_library.ox WORKING_DIRECTORY ${where}
                OUTPUT_VARIABLE got ERROR_VARIABLE err RESULT_VARIABLE status TIMEOUT 30)
file(REMOVE ${where}/uses_library.ox)
if(NOT status EQUAL 0 OR NOT got STREQUAL "2.500\n")
  message(FATAL_ERROR "a program taking in ${include_line}: status ${status}\n${err}${got}")
endif()
message("${HOW}: ${expected} and ${count} examples in place; the library takes in")
