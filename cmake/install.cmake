# What `cmake --install build --prefix DIR` puts under DIR:
#   bin/oxelc, bin/oxel-lint, bin/oxel-fmt, bin/oxel-lsp, bin/oxel-prof, bin/oxel-dbg
#                                    the compiler, the checker, the formatter, the
#                                    language server, the profiler, the debugger, stripped
#   share/man/man1/*.1.gz            their man pages
#   share/bash-completion/completions/oxel-lint   its options completed in bash
#   share/doc/oxelc/                 the guide (and its flame_graph.svg), lint.md, lsp.md,
#                                    editors.md, README.md, CHANGELOG.md,
#                                    copyright and changelog.gz, and examples/:
#                                    the example programs, their data files and
#                                    expected outputs, runnable from that folder
#                                    (with the library's headers in lib/ beside)
#   share/oxelc/lib/*.oxh            the library: headers a program takes in
#                                    by their path (/usr/share/oxelc/lib/ in
#                                    the Debian package)
#   share/vim/vimfiles/, share/nvim/site/, share/emacs/site-lisp/,
#   share/oxelc/editors/             the editor set-ups (docs/editors.md)
# On Windows, one folder instead (below). The packages (cmake/package.cmake)
# are made from the same rules.
include(GNUInstallDirs)

# Strip by default: the installed binary is for running, not for debugging.
# `cmake --install` strips only when given --strip, so the default is set here,
# ahead of the rule that installs the binary; -DOXEL_INSTALL_STRIP=OFF keeps
# the symbols (a Debug build never strips).
option(OXEL_INSTALL_STRIP "Strip oxelc when installing" ON)
if(OXEL_INSTALL_STRIP AND NOT CMAKE_BUILD_TYPE STREQUAL "Debug")
  install(CODE "if(NOT DEFINED CMAKE_INSTALL_DO_STRIP)
  set(CMAKE_INSTALL_DO_STRIP TRUE)
endif()")
endif()

# What the project calls itself in packages: set these when shipping a build
# of your own.
set(OXEL_HOMEPAGE "https://oxel-lang.org/" CACHE STRING "Home page named by the packages")
set(OXEL_MAINTAINER "oxelc maintainers <maintainers@oxel-lang.org>" CACHE STRING
    "Maintainer named by the Debian package")

# The library of Oxel headers.
file(GLOB oxel_library CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/lib/*.oxh)

if(WIN32)
  # Windows: one folder, the two programs side by side with the documents in
  # Markdown (no man pages) and the examples. tests/toolkit/windows_zip.txt
  # lists what it holds.
  install(TARGETS oxelc oxel-lint oxel-fmt oxel-lsp oxel-prof oxel-dbg RUNTIME DESTINATION .)
  install(FILES docs/guide.md docs/flame_graph.svg docs/lint.md docs/lsp.md README.md CHANGELOG.md DESTINATION .)
  install(FILES LICENSE DESTINATION . RENAME LICENSE.txt)
  install(DIRECTORY examples/ DESTINATION examples)
  install(FILES ${oxel_library} DESTINATION lib)
  return()
endif()

install(TARGETS oxelc oxel-lint oxel-fmt oxel-lsp oxel-prof oxel-dbg RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES docs/guide.md docs/flame_graph.svg docs/lint.md docs/lsp.md docs/editors.md README.md CHANGELOG.md
        DESTINATION ${CMAKE_INSTALL_DOCDIR})
install(DIRECTORY examples/ DESTINATION ${CMAKE_INSTALL_DOCDIR}/examples)
install(FILES ${oxel_library} DESTINATION ${CMAKE_INSTALL_DATADIR}/oxelc/lib)
# and beside the examples' folder, where the examples that use it find it as
# ../lib, as they do in the source tree
install(FILES ${oxel_library} DESTINATION ${CMAKE_INSTALL_DOCDIR}/lib)
install(FILES completions/oxel-lint.bash DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions
        RENAME oxel-lint)

# Editor set-ups (docs/editors.md), where each editor looks for them: the
# Vim files in Vim's site folder and, with the Lua that starts oxel-lsp, in
# Neovim's; oxel-mode.el on Emacs's load-path; the TextMate package and
# Helix's languages.toml for the user to take from share/oxelc/editors/.
foreach(site vim/vimfiles nvim/site)
  install(DIRECTORY editors/vim/ DESTINATION ${CMAKE_INSTALL_DATADIR}/${site} PATTERN test EXCLUDE)
endforeach()
install(DIRECTORY editors/nvim/ DESTINATION ${CMAKE_INSTALL_DATADIR}/nvim/site PATTERN test EXCLUDE)
install(FILES editors/emacs/oxel-mode.el DESTINATION ${CMAKE_INSTALL_DATADIR}/emacs/site-lisp)
install(FILES editors/helix/languages.toml DESTINATION ${CMAKE_INSTALL_DATADIR}/oxelc/editors/helix)
install(FILES editors/textmate/oxel.tmLanguage.json editors/textmate/language-configuration.json
        DESTINATION ${CMAKE_INSTALL_DATADIR}/oxelc/editors/textmate)

# Man pages compressed, as man reads them and as Debian wants them; the
# package's copyright file and its changelog (made from CHANGELOG.md) in the
# form Debian reads. gzip -n keeps names and times out, so the bytes depend
# only on the text.
find_program(OXEL_GZIP gzip REQUIRED)
set(packaging ${PROJECT_BINARY_DIR}/packaging)
configure_file(packaging/debian/copyright ${packaging}/copyright @ONLY)
add_custom_command(
  OUTPUT ${packaging}/changelog
  COMMAND ${CMAKE_COMMAND} -DIN=${PROJECT_SOURCE_DIR}/CHANGELOG.md -DOUT=${packaging}/changelog
          "-DMAINTAINER=${OXEL_MAINTAINER}" -P ${PROJECT_SOURCE_DIR}/cmake/debian_changelog.cmake
  DEPENDS CHANGELOG.md cmake/debian_changelog.cmake VERBATIM)
set(compressed ${packaging}/changelog.gz)
add_custom_command(OUTPUT ${packaging}/changelog.gz
                   COMMAND ${OXEL_GZIP} -9nkf ${packaging}/changelog
                   DEPENDS ${packaging}/changelog VERBATIM)
foreach(page oxelc.1 oxel-lint.1 oxel-fmt.1 oxel-lsp.1 oxel-prof.1 oxel-dbg.1)
  add_custom_command(OUTPUT ${packaging}/${page}.gz
                     COMMAND ${CMAKE_COMMAND} -E copy ${PROJECT_SOURCE_DIR}/man/${page} ${packaging}/${page}
                     COMMAND ${OXEL_GZIP} -9nf ${packaging}/${page}
                     DEPENDS man/${page} VERBATIM)
  list(APPEND compressed ${packaging}/${page}.gz)
  install(FILES ${packaging}/${page}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endforeach()
add_custom_target(oxel_packaging ALL DEPENDS ${compressed})
install(FILES ${packaging}/copyright ${packaging}/changelog.gz DESTINATION ${CMAKE_INSTALL_DOCDIR})
