#!/usr/bin/env bash
# Installs what building and testing need, from Debian's packages, when it is
# missing. Safe to run again.
set -euo pipefail
need=()
command -v g++ >/dev/null || need+=(g++)
command -v cmake >/dev/null || need+=(cmake)
command -v ninja >/dev/null || need+=(ninja-build)
[ -f /usr/include/gtest/gtest.h ] || need+=(libgtest-dev)
if [ ${#need[@]} -gt 0 ]; then
    sudo=""
    [ "$(id -u)" -eq 0 ] || sudo=sudo
    $sudo apt-get update
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y "${need[@]}"
fi
