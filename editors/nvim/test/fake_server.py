#!/usr/bin/env python3
"""A stand-in for oxel-lsp: answers initialize and shutdown over standard
input and output, and appends one line per message it gets to LOG:
'<pid> initialize <rootUri>', '<pid> didOpen <uri>', and so on.
   fake_server.py LOG"""
import json
import os
import sys

log_path = sys.argv[1]


def log(*words):
    with open(log_path, "a", encoding="utf-8") as log_file:
        log_file.write(" ".join([str(os.getpid()), *words]) + "\n")


def read_message(stream):
    length = None
    while True:
        line = stream.readline()
        if not line:
            return None
        line = line.strip()
        if not line:
            break
        name, _, value = line.decode("ascii").partition(":")
        if name.lower() == "content-length":
            length = int(value)
    return json.loads(stream.read(length))


def send(message):
    body = json.dumps(message).encode("utf-8")
    sys.stdout.buffer.write(b"Content-Length: %d\r\n\r\n" % len(body) + body)
    sys.stdout.buffer.flush()


while True:
    message = read_message(sys.stdin.buffer)
    if message is None:
        break
    method = message.get("method", "")
    params = message.get("params") or {}
    if method == "initialize":
        log("initialize", str(params.get("rootUri")))
        send({"jsonrpc": "2.0", "id": message["id"],
              "result": {"capabilities": {"textDocumentSync": 1}, "serverInfo": {"name": "fake"}}})
    elif method == "textDocument/didOpen":
        log("didOpen", params["textDocument"]["uri"], params["textDocument"]["languageId"])
    elif method == "shutdown":
        send({"jsonrpc": "2.0", "id": message["id"], "result": None})
    elif method == "exit":
        break
    elif "id" in message:
        send({"jsonrpc": "2.0", "id": message["id"], "result": None})
