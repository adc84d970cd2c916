#!/usr/bin/env bash
# Installs what building and testing need, from Debian's packages, when it is
# missing; with everything present it does nothing and needs no network.
# Safe to run again.
#   scripts/install-deps.sh build   the compiler and build tools
#   scripts/install-deps.sh test    those, and what the tests use
#   scripts/install-deps.sh         everything: also the fuzz targets' clang
#                                   and the Windows cross build with Wine (CI)
set -euo pipefail
level=${1:-all}
case $level in
build | test | all) ;;
*)
    echo "usage: scripts/install-deps.sh [build|test|all]" >&2
    exit 2
    ;;
esac

need=()
command -v g++ >/dev/null || need+=(g++)
command -v cmake >/dev/null || need+=(cmake)
command -v ninja >/dev/null || need+=(ninja-build)
[ -f /usr/include/nlohmann/json.hpp ] || need+=(nlohmann-json3-dev)
if [ "$level" != build ]; then
    [ -f /usr/include/gtest/gtest.h ] || need+=(libgtest-dev)
    # Debian's package checker, run on the package by its test.
    command -v lintian >/dev/null || need+=(lintian)
    # The completion test: bash-completion's helpers.
    [ -f /usr/share/bash-completion/bash_completion ] || need+=(bash-completion)
    # The profiler's flame graph is drawn once by a headless browser.
    command -v chromium >/dev/null || need+=(chromium)
fi
if [ "$level" = all ]; then
    # The fuzz targets: clang and its libFuzzer runtime.
    command -v clang++ >/dev/null || need+=(clang)
    compgen -G "/usr/lib/llvm-*/lib/clang/*/lib/linux/libclang_rt.fuzzer-x86_64.a" >/dev/null ||
        need+=(libclang-rt-14-dev)
    # The Windows build: MinGW-w64 to cross-compile, Wine to run the tests.
    command -v x86_64-w64-mingw32-g++-posix >/dev/null || need+=(g++-mingw-w64-x86-64-posix)
    [ -x /usr/lib/wine/wine64 ] || need+=(wine64)
fi
if [ ${#need[@]} -gt 0 ]; then
    sudo=()
    if [ "$(id -u)" -ne 0 ]; then
        if ! command -v sudo >/dev/null; then
            echo "install-deps: installing ${need[*]} needs root: run this as root, or install them with apt-get" >&2
            exit 1
        fi
        echo "install-deps: installing ${need[*]} needs root; asking sudo" >&2
        sudo=(sudo)
    fi
    "${sudo[@]}" apt-get update
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y "${need[@]}"
fi

# The highlighting test tool for the TextMate grammar, from npm where npm is
# installed (its test is registered only when the tool is there). The lock
# file pins it; node_modules stays out of git.
grammar=$(dirname "$0")/../editors/textmate
if [ "$level" != build ] && command -v npm >/dev/null && [ ! -d "$grammar/node_modules/vscode-tmgrammar-test" ]; then
    (cd "$grammar" && npm ci --no-audit --no-fund --loglevel=error) ||
        echo "install-deps: vscode-tmgrammar-test could not be installed; its test is left out" >&2
fi
exit 0
