# Cross-compiles a 64-bit Windows console program with MinGW-w64 (Debian's
# g++-mingw-w64-x86-64-posix), statically linked so that oxelc.exe runs
# alone, and runs what the build executes (test discovery, ctest) under Wine.
#
#   cmake -S . -B build-windows -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(OXEL_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${OXEL_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${OXEL_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${OXEL_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${OXEL_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# No DLLs beside the program: the C++ runtime, libgcc and winpthread go in.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

# Every test runs through Wine (cmake/wine-run.sh quietens its diagnostics).
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/wine-run.sh)
