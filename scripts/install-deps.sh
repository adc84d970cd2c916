#!/usr/bin/env bash
# Installs what building and testing need, from Debian's packages, when it is
# missing. Safe to run again.
set -euo pipefail
need=()
command -v g++ >/dev/null || need+=(g++)
command -v cmake >/dev/null || need+=(cmake)
command -v ninja >/dev/null || need+=(ninja-build)
[ -f /usr/include/gtest/gtest.h ] || need+=(libgtest-dev)
# The fuzz targets: clang and its libFuzzer runtime.
command -v clang++ >/dev/null || need+=(clang)
compgen -G "/usr/lib/llvm-*/lib/clang/*/lib/linux/libclang_rt.fuzzer-x86_64.a" >/dev/null ||
    need+=(libclang-rt-14-dev)
# The Windows build: MinGW-w64 to cross-compile, Wine to run the tests.
command -v x86_64-w64-mingw32-g++-posix >/dev/null || need+=(g++-mingw-w64-x86-64-posix)
[ -x /usr/lib/wine/wine64 ] || need+=(wine64)
# Debian's package checker, run on the package by its test.
command -v lintian >/dev/null || need+=(lintian)
# The completion test: bash-completion's helpers.
[ -f /usr/share/bash-completion/bash_completion ] || need+=(bash-completion)
if [ ${#need[@]} -gt 0 ]; then
    sudo=""
    [ "$(id -u)" -eq 0 ] || sudo=sudo
    $sudo apt-get update
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y "${need[@]}"
fi

# The highlighting test tool for the TextMate grammar, from npm where npm is
# installed (its test is registered only when the tool is there). The lock
# file pins it; node_modules stays out of git.
if command -v npm >/dev/null; then
    (cd "$(dirname "$0")/../editors/textmate" && npm ci --no-audit --no-fund --loglevel=error) ||
        echo "install-deps: vscode-tmgrammar-test could not be installed; its test is left out" >&2
fi
