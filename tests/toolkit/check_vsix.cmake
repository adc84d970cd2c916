# Packages the VS Code extension with vsce and checks the .vsix: the manifest,
# the grammar and language configuration (the very files of editors/textmate),
# the client script (syntax-checked by node, then activated against stand-ins
# for VS Code, see editors/vscode/test/activate.js).
#   cmake -DNODE=node -DNPM_DIR=dir-with-npm -DSOURCE=top -DSCRATCH=dir -P check_vsix.cmake
cmake_minimum_required(VERSION 3.20)
file(REMOVE_RECURSE ${SCRATCH})
file(MAKE_DIRECTORY ${SCRATCH})
set(extension ${SOURCE}/editors/vscode)
set(textmate ${SOURCE}/editors/textmate)

include(${CMAKE_CURRENT_LIST_DIR}/run.cmake)

# vsce runs the prepublish script through npm, so npm must be on PATH.
set(ENV{PATH} "${NPM_DIR}:$ENV{PATH}")
run(${NODE} node_modules/@vscode/vsce/vsce package --out ${SCRATCH}/oxel.vsix
    WORKING_DIRECTORY ${extension})
file(ARCHIVE_EXTRACT INPUT ${SCRATCH}/oxel.vsix DESTINATION ${SCRATCH}/unpacked)
set(root ${SCRATCH}/unpacked/extension)

foreach(pair "oxel.tmLanguage.json;syntaxes/oxel.tmLanguage.json"
             "language-configuration.json;syntaxes/language-configuration.json")
  list(GET pair 0 from)
  list(GET pair 1 to)
  if(NOT EXISTS ${root}/${to})
    message(FATAL_ERROR "${to} is not in the .vsix")
  endif()
  file(SHA256 ${textmate}/${from} want)
  file(SHA256 ${root}/${to} got)
  if(NOT want STREQUAL got)
    message(FATAL_ERROR "${to} in the .vsix differs from editors/textmate/${from}")
  endif()
endforeach()
# Only what the extension runs with: no packaging tools, no tests.
foreach(absent node_modules/@vscode test copy-grammar.js)
  if(EXISTS ${root}/${absent})
    message(FATAL_ERROR "${absent} should not be in the .vsix")
  endif()
endforeach()

run(${NODE} --check ${root}/extension.js)
run(${NODE} ${extension}/test/activate.js ${root} ${textmate}/oxel.tmLanguage.json)
message(STATUS "oxel.vsix: manifest, grammar, configuration and client checked")
