#!/usr/bin/env python3
"""Times oxel-lsp from a didChange to the publishDiagnostics it causes.

    lsp_latency.py OXEL_LSP [ROUNDS]

Opens a generated program of 10,000 lines (functions of 12 lines using most
statement and expression forms, from gen_large_program.py, then calls of
them), then sends ROUNDS (default 20) whole-text changes, every other one
making a line a mistake (the next one mends it), and times each from the write of the change to
the read of its diagnostics. Prints the median and the slowest, in ms.
"""

import json
import os
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from gen_large_program import function_block  # noqa: E402

LINES = 10_000


def program():
    lines = []
    index = 0
    while len(lines) < LINES - 2000:
        lines += function_block(index) + [""]
        index += 1
    for i in range(LINES - len(lines)):
        lines.append(f"(r{i % 50}. work{i % index} {i}, 2)")
    return lines


def send(pipe, message):
    body = json.dumps(message).encode()
    pipe.write(b"Content-Length: %d\r\n\r\n" % len(body) + body)
    pipe.flush()


def receive(pipe):
    length = None
    while True:
        line = pipe.readline()
        if not line:
            raise SystemExit("oxel-lsp ended")
        line = line.strip()
        if not line:
            break
        if line.lower().startswith(b"content-length:"):
            length = int(line.split(b":")[1])
    return json.loads(pipe.read(length))


def wait_for(pipe, method):
    while True:
        message = receive(pipe)
        if message.get("method") == method:
            return message


def main():
    if len(sys.argv) not in (2, 3):
        raise SystemExit(__doc__)
    rounds = int(sys.argv[2]) if len(sys.argv) == 3 else 20
    server = subprocess.Popen([sys.argv[1]], stdin=subprocess.PIPE, stdout=subprocess.PIPE)
    uri = "file:///tmp/oxel-lsp-bench/main.ox"
    lines = program()
    send(server.stdin, {"jsonrpc": "2.0", "id": 1, "method": "initialize", "params": {"capabilities": {}}})
    receive(server.stdout)
    send(server.stdin, {"jsonrpc": "2.0", "method": "initialized", "params": {}})
    send(server.stdin, {"jsonrpc": "2.0", "method": "textDocument/didOpen",
                        "params": {"textDocument": {"uri": uri, "languageId": "oxel", "version": 1,
                                                    "text": "\n".join(lines) + "\n"}}})
    wait_for(server.stdout, "textDocument/publishDiagnostics")
    times = []
    for n in range(rounds):
        changed = list(lines)
        changed[LINES - 1 - n] = f"echo missing{n}" if n % 2 == 0 else "echo 1"
        text = "\n".join(changed) + "\n"
        start = time.perf_counter()
        send(server.stdin, {"jsonrpc": "2.0", "method": "textDocument/didChange",
                            "params": {"textDocument": {"uri": uri, "version": n + 2},
                                       "contentChanges": [{"text": text}]}})
        message = wait_for(server.stdout, "textDocument/publishDiagnostics")
        times.append((time.perf_counter() - start) * 1000)
        errors = [d for d in message["params"]["diagnostics"] if d["severity"] == 1]
        if bool(errors) != (n % 2 == 0):
            raise SystemExit("diagnostics not as expected: " + json.dumps(message)[:200])
    send(server.stdin, {"jsonrpc": "2.0", "id": 2, "method": "shutdown"})
    receive(server.stdout)
    send(server.stdin, {"jsonrpc": "2.0", "method": "exit"})
    server.wait()
    times.sort()
    print(f"{LINES} lines, {len(text)} bytes: didChange to publishDiagnostics "
          f"median {times[len(times) // 2]:.1f} ms, slowest {times[-1]:.1f} ms over {rounds} changes")


if __name__ == "__main__":
    main()
