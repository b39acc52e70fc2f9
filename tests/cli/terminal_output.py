#!/usr/bin/env python3
"""Runs COMMAND with standard error on a new pseudo-terminal (so that nbnx
draws its progress line) and prints everything it wrote there, one
carriage-return-separated piece per line, then "status N". Every wait is
bounded; a command that outlives it is killed and the status printed is -9.

Usage: terminal_output.py COMMAND...
"""
import os
import pty
import select
import signal
import sys
import time

RUN_SECONDS = 60
EXIT_SECONDS = 10


def main():
    pid, master = pty.fork()
    if pid == 0:
        try:
            os.execvp(sys.argv[1], sys.argv[1:])
        finally:
            os._exit(127)
    seen = b""
    deadline = time.monotonic() + RUN_SECONDS
    while time.monotonic() < deadline:
        if not select.select([master], [], [], deadline - time.monotonic())[0]:
            break
        try:
            chunk = os.read(master, 4096)
        except OSError:  # the terminal closed with the command
            break
        if not chunk:
            break
        seen += chunk
    code = -9
    while time.monotonic() < deadline + EXIT_SECONDS:
        done, status = os.waitpid(pid, os.WNOHANG)
        if done == pid:
            code = os.waitstatus_to_exitcode(status)
            break
        time.sleep(0.02)
    else:
        os.kill(pid, signal.SIGKILL)
        os.waitpid(pid, 0)
    os.close(master)
    text = seen.decode("utf-8", "replace").replace("\r\n", "\n")
    for piece in text.replace("\r", "\n").split("\n"):
        if piece.strip():
            print(piece.strip())
    print("status", code)


main()
