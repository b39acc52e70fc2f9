#!/usr/bin/env python3
"""Runs COMMAND on a new pseudo-terminal, sends SIGNAL once it asks for the
password (or, with --at TEXT, once it writes TEXT there), and prints "<exit
status> <echo on: 1 or 0>" as the terminal is left. Every wait is bounded; a
command that outlives them is killed and the status printed is -9.

Usage: prompt_signal.py [--at TEXT] SIGNAL COMMAND...
       (SIGNAL: INT, TERM, HUP, QUIT)
"""
import os
import pty
import select
import signal
import sys
import termios
import time

PROMPT_SECONDS = 10
EXIT_SECONDS = 10


def read_until(master, text, seconds):
    seen = b""
    deadline = time.monotonic() + seconds
    while text not in seen:
        left = deadline - time.monotonic()
        if left <= 0 or not select.select([master], [], [], left)[0]:
            return False
        try:
            chunk = os.read(master, 1024)
        except OSError:
            return False
        if not chunk:
            return False
        seen += chunk
    return True


def wait_bounded(pid, seconds):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        done, status = os.waitpid(pid, os.WNOHANG)
        if done == pid:
            return os.waitstatus_to_exitcode(status)
        time.sleep(0.02)
    os.kill(pid, signal.SIGKILL)
    os.waitpid(pid, 0)
    return -9


def start_on_terminal(command):
    """Starts command on a new pseudo-terminal: its pid and the master side."""
    pid, master = pty.fork()
    if pid == 0:
        try:
            os.execvp(command[0], command)
        finally:
            os._exit(127)
    return pid, master


def main():
    arguments = sys.argv[1:]
    text = "Password:"
    if arguments[0] == "--at":
        text = arguments[1]
        arguments = arguments[2:]
    number = getattr(signal, "SIG" + arguments[0])
    pid, master = start_on_terminal(arguments[1:])
    if not read_until(master, text.encode(), PROMPT_SECONDS):
        print("never shown:", text, file=sys.stderr)
    os.kill(pid, number)
    status = wait_bounded(pid, EXIT_SECONDS)
    echo = termios.tcgetattr(master)[3] & termios.ECHO
    print(status, 1 if echo else 0)
    os.close(master)


if __name__ == "__main__":
    main()
