#!/usr/bin/env python3
"""Checks editors/helix/languages.toml: it parses; the language matches the
TextMate package's file types, scope and comment word; each server it names is
declared; and its formatter, run the way Helix runs it (the buffer on standard
input, the result on standard output), formats a program and refuses one that
does not compile.
   check.py LANGUAGES_TOML TEXTMATE_DIR   (with oxel-fmt on PATH)"""
import json
import pathlib
import subprocess
import sys
import tomllib

config_path, textmate = pathlib.Path(sys.argv[1]), pathlib.Path(sys.argv[2])
config = tomllib.loads(config_path.read_text(encoding="utf-8"))
grammar = json.loads((textmate / "oxel.tmLanguage.json").read_text(encoding="utf-8"))
language_config = json.loads((textmate / "language-configuration.json").read_text(encoding="utf-8"))
failures = []


def check(name, got, want):
    if got != want:
        failures.append(f"{name}: {got!r}, wanted {want!r}")


languages = config.get("language", [])
check("languages", [lang.get("name") for lang in languages], ["oxel"])
oxel = languages[0] if languages else {}
check("file-types", oxel.get("file-types"), grammar["fileTypes"])
check("scope", oxel.get("scope"), grammar["scopeName"])
check("comment-token", oxel.get("comment-token"), language_config["comments"]["lineComment"])
servers = config.get("language-server", {})
check("language-servers", oxel.get("language-servers"), ["oxel-lsp"])
for name in oxel.get("language-servers", []):
    check(f"server {name}", servers.get(name), {"command": "oxel-lsp"})

# Helix passes the buffer on standard input and takes standard output when
# the status is 0; otherwise the buffer stays as it was.
formatter = oxel.get("formatter", {})
command = [formatter.get("command", "missing")] + formatter.get("args", [])
cases = [
    ("a program", "x5   cmt hi\nif x > 1\n\techo x   \n", 0, "x5 cmt hi\nif x > 1\n    echo x\n"),
    ("one that does not compile", "ehco\n", 2, None),
]
for name, text, status, want in cases:
    run = subprocess.run(command, input=text.encode(), capture_output=True, timeout=30)
    check(f"formatting {name}: status", run.returncode, status)
    if want is not None:
        check(f"formatting {name}", run.stdout.decode(), want)

print("\n".join(failures) if failures else f"{config_path.name}: as the TextMate package, and oxel-fmt formats")
sys.exit(1 if failures else 0)
