# Packages through CPack, made from the install rules (cmake/install.cmake):
#   cpack --config build/CPackConfig.cmake -G DEB -B build/packages
# gives oxelc_VERSION_ARCH.deb with the compiler, the checker, their man
# pages, the guide and the examples under /usr. `lintian` on it reports
# nothing (tests/toolkit checks that where lintian is installed). Settings for one generator only are kept in that
# generator's own variables (CPACK_DEBIAN_*), so other generators can be
# added beside it.
set(CPACK_PACKAGE_NAME oxelc)
set(CPACK_PACKAGE_VENDOR "oxelc maintainers")
set(CPACK_PACKAGE_CONTACT "${OXEL_MAINTAINER}")
set(CPACK_PACKAGE_HOMEPAGE_URL "${OXEL_HOMEPAGE}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Compiler and bytecode virtual machine for the Oxel scripting language")
set(CPACK_PACKAGE_DESCRIPTION "oxelc compiles programs in Oxel, a small line-oriented scripting
language whose blocks are marked by indentation, to bytecode and runs them.
The package holds the compiler; oxel-lint, a checker that finds the slips
Oxel accepts without a word; oxel-fmt, the formatter; oxel-lsp, a language
server for editors; oxel-prof, a profiler; oxel-dbg, a debugger; their man
pages; a guide to the language; example programs; and set-ups for Vim,
Neovim, Emacs and Helix.")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_STRIP_FILES TRUE)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION interpreters)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${OXEL_MAINTAINER}")
# The C and C++ runtime libraries the binary links against: computed exactly
# where dpkg-shlibdeps (package dpkg-dev) is at hand, else named plainly.
find_program(OXEL_DPKG_SHLIBDEPS dpkg-shlibdeps)
if(OXEL_DPKG_SHLIBDEPS)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
else()
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "libc6, libstdc++6, libgcc-s1")
endif()

# Windows: a zip of the one folder that cmake/install.cmake lays out,
#   cpack --config build-windows/CPackConfig.cmake
if(WIN32)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_FILE_NAME oxelc-${PROJECT_VERSION}-win64)
endif()

include(CPack)
