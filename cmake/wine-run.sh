#!/bin/sh
# Runs a Windows program under Wine with its own diagnostics off, so that
# what reaches standard output and standard error is the program's alone.
# WINE may name another wine binary; WINEPREFIX, if set, is used as is.
: "${WINEDEBUG:=-all}"
export WINEDEBUG
exec "${WINE:-/usr/lib/wine/wine64}" "$@"
