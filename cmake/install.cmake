# What `cmake --install build --prefix DIR` puts under DIR:
#   bin/oxelc                        the compiler, stripped
#   share/man/man1/oxelc.1           the man page
#   share/doc/oxelc/guide.md         the guide to the language
#   share/doc/oxelc/README.md
#   share/doc/oxelc/examples/        the example programs, their data files and
#                                    expected outputs, runnable from that folder
# The package (cmake/package.cmake) is made from the same rules.
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

if(WIN32)
  # Windows: one folder holding oxelc.exe, the guide, this README and the
  # examples; no man page.
  install(TARGETS oxelc RUNTIME DESTINATION .)
  install(FILES docs/guide.md README.md DESTINATION .)
  install(DIRECTORY examples/ DESTINATION examples)
  return()
endif()

install(TARGETS oxelc RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES man/oxelc.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES docs/guide.md README.md DESTINATION ${CMAKE_INSTALL_DOCDIR})
install(DIRECTORY examples/ DESTINATION ${CMAKE_INSTALL_DOCDIR}/examples)
