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
# The machine-code tier's assembler (header-only).
[ -f /usr/include/xbyak/xbyak.h ] || need+=(libxbyak-dev)
# JSON for oxel-lsp and oxel-prof, header-only.
[ -f /usr/include/nlohmann/json.hpp ] || need+=(nlohmann-json3-dev)
if [ "$level" != build ]; then
    [ -f /usr/include/gtest/gtest.h ] || need+=(libgtest-dev)
    # Debian's package checker, run on the package by its test.
    command -v lintian >/dev/null || need+=(lintian)
    # The completion test: bash-completion's helpers.
    [ -f /usr/share/bash-completion/bash_completion ] || need+=(bash-completion)
    # The profiler's flame graph is drawn once by a headless browser.
    command -v chromium >/dev/null || need+=(chromium)
    # oxel-lsp's test in an editor: headless Neovim.
    command -v nvim >/dev/null || need+=(neovim)
fi
if [ "$level" = all ]; then
    # The fuzz targets: clang and its libFuzzer runtime.
    command -v clang++ >/dev/null || need+=(clang)
    compgen -G "/usr/lib/llvm-*/lib/clang/*/lib/linux/libclang_rt.fuzzer-x86_64.a" >/dev/null ||
        need+=(libclang-rt-14-dev)
    # The Windows build: MinGW-w64 to cross-compile, Wine to run the tests.
    command -v x86_64-w64-mingw32-g++-posix >/dev/null || need+=(g++-mingw-w64-x86-64-posix)
    [ -x /usr/lib/wine/wine64 ] || need+=(wine64)
    # The editors whose set-ups are tried for real (editors/).
    command -v vim >/dev/null || need+=(vim)
    command -v nvim >/dev/null || need+=(neovim)
    command -v emacs >/dev/null || need+=(emacs-nox)
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

# From npm where npm is installed (each test is registered only when its tool
# is there): the highlighting test tool for the TextMate grammar, and the
# VS Code extension's client library and packaging tool. The lock files pin
# them; node_modules stays out of git.
editors=$(dirname "$0")/../editors
for tool in textmate/node_modules/vscode-tmgrammar-test vscode/node_modules/@vscode/vsce; do
    dir=$editors/${tool%%/node_modules/*}
    if [ "$level" != build ] && command -v npm >/dev/null && [ ! -d "$editors/$tool" ]; then
        (cd "$dir" && npm ci --no-audit --no-fund --loglevel=error) ||
            echo "install-deps: ${tool#*/node_modules/} could not be installed; its test is left out" >&2
    fi
done
exit 0
