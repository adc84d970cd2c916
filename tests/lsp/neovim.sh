#!/bin/sh
# neovim.sh OXEL_LSP SCRATCH: an editor's end of the protocol. Headless
# Neovim opens a program with a mistake and talks to oxel-lsp (neovim.lua
# says what it checks).
set -eu
lsp=$1
scratch=$2
here=$(cd "$(dirname "$0")" && pwd)
rm -rf "$scratch"
mkdir -p "$scratch"
cat >"$scratch/main.ox" <<'PROGRAM'
oxelfn area.w, h
    (a. w * h)
    rtn a   cmt the area

(r. area 6, 7)
echo r
(s. cat "é", zz)
echo s
PROGRAM
OXEL_LSP=$lsp OXEL_FILE=$scratch/main.ox HOME=$scratch XDG_STATE_HOME=$scratch XDG_DATA_HOME=$scratch \
    timeout 60 nvim --headless --clean -n -c "luafile $here/neovim.lua"
