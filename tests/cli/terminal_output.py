#!/usr/bin/env python3
"""Runs COMMAND with its output on a new pseudo-terminal (so that nbnx draws
its progress line) and prints everything it wrote there, one piece between
carriage returns or line ends per line, then "status N". Every wait is
bounded; a command that outlives them is killed and the status is -9.

Usage: terminal_output.py COMMAND...
"""
import os
import select
import sys
import time

from prompt_signal import start_on_terminal, wait_bounded

RUN_SECONDS = 60
EXIT_SECONDS = 10


def read_all(master, seconds):
    seen = b""
    deadline = time.monotonic() + seconds
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
    return seen


def main():
    pid, master = start_on_terminal(sys.argv[1:])
    seen = read_all(master, RUN_SECONDS)
    status = wait_bounded(pid, EXIT_SECONDS)
    os.close(master)
    text = seen.decode("utf-8", "replace")
    for piece in text.replace("\r", "\n").split("\n"):
        if piece.strip():
            print(piece.strip())
    print("status", status)


main()
