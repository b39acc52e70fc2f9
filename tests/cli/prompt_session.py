#!/usr/bin/env python3
"""Runs COMMAND at its password prompt as a shell with job control would: on a
new pseudo-terminal, in a process group of its own that holds the terminal.

  suspend PASSWORD COMMAND...  types Ctrl+Z at the prompt, then continues the
                               command as `fg` does and answers each prompt with
                               PASSWORD; prints "<stopped> <echo while stopped>
                               <asked again> <echo after> <exit status>"
  eof COMMAND...               types Ctrl+D at the empty prompt; prints the exit
                               status and what the command wrote

Every wait is bounded; a command that outlives them is killed (status -9).
"""
import os
import pty
import select
import signal
import sys
import termios
import time

WAIT_SECONDS = 10


class Session:
    def __init__(self, command):
        events_read, events_write = os.pipe()
        pid, self.master = pty.fork()
        if pid == 0:
            os.close(events_read)
            self._shell(command, events_write)
        os.close(events_write)
        self.events = os.fdopen(events_read, "r")
        self.seen = b""
        self.pid = int(self._event().split()[1])

    @staticmethod
    def _shell(command, events):
        """The session leader: starts the command in the foreground group and
        reports its stops and its end, as a shell's job control sees them."""
        child = os.fork()
        if child == 0:
            os.setpgid(0, 0)
            os.execvp(command[0], command)
        os.setpgid(child, child)
        signal.signal(signal.SIGTTOU, signal.SIG_IGN)
        os.tcsetpgrp(0, child)
        os.write(events, f"pid {child}\n".encode())
        while True:
            _, status = os.waitpid(child, os.WUNTRACED)
            if os.WIFSTOPPED(status):
                os.write(events, b"stopped\n")
                continue
            os.write(events, f"exit {os.waitstatus_to_exitcode(status)}\n".encode())
            os._exit(0)

    def _event(self):
        ready = select.select([self.events], [], [], WAIT_SECONDS)[0]
        return self.events.readline().strip() if ready else ""

    def read_until(self, text, occurrence=1):
        deadline = time.monotonic() + WAIT_SECONDS
        while self.seen.count(text) < occurrence:
            left = deadline - time.monotonic()
            if left <= 0 or not select.select([self.master], [], [], left)[0]:
                return False
            try:
                chunk = os.read(self.master, 1024)
            except OSError:
                return False
            if not chunk:
                return False
            self.seen += chunk
        return True

    def echo(self):
        return 1 if termios.tcgetattr(self.master)[3] & termios.ECHO else 0

    def type(self, text):
        os.write(self.master, text)

    def end(self):
        event = self._event()
        while event == "stopped":
            event = self._event()
        if event.startswith("exit "):
            return int(event.split()[1])
        os.killpg(self.pid, signal.SIGKILL)
        return -9


def suspend(password, command):
    session = Session(command)
    session.read_until(b"Password:")
    session.type(b"\x1a")
    stopped = 1 if session._event() == "stopped" else 0
    echo_while_stopped = session.echo()
    os.killpg(session.pid, signal.SIGCONT)
    asked_again = 1 if session.read_until(b"Password:", 2) else 0
    echo_after = session.echo()
    for prompt in (b"Password:", b"Confirm password:"):
        if session.read_until(prompt, 2 if prompt == b"Password:" else 1):
            session.type(password.encode() + b"\n")
    print(stopped, echo_while_stopped, asked_again, echo_after, session.end())


def end_of_input(command):
    session = Session(command)
    session.read_until(b"Password:")
    session.type(b"\x04")
    status = session.end()
    session.read_until(b"\n", 2)
    print(status, session.seen.decode(errors="replace").replace("\r", "").strip())


def main():
    if sys.argv[1] == "suspend":
        suspend(sys.argv[2], sys.argv[3:])
    else:
        end_of_input(sys.argv[2:])


if __name__ == "__main__":
    main()
