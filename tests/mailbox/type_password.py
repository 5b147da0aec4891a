#!/usr/bin/env python3
"""Runs a program on a terminal of its own and types ANSWER when it asks for a
password; prints what the terminal showed and exits with the program's status.
An ANSWER of ^C types Ctrl-C instead, and the last line printed then says
whether the terminal shows what is typed ("echo on") once the program ended.

    type_password.py ANSWER PROGRAM [ARGUMENT...]
"""

import os
import pty
import sys
import termios

pid, terminal = pty.fork()
if pid == 0:
    os.execv(sys.argv[2], sys.argv[2:])
shown = b""
typed = False
while True:
    try:
        data = os.read(terminal, 4096)
    except OSError:  # the program has ended and closed the terminal
        break
    if not data:
        break
    shown += data
    if not typed and b"Password for " in shown:
        answer = sys.argv[1].encode()
        os.write(terminal, b"\x03" if answer == b"^C" else answer + b"\n")
        typed = True
_, status = os.waitpid(pid, 0)
if sys.argv[1] == "^C":
    echo = termios.tcgetattr(terminal)[3] & termios.ECHO
    shown += b"\necho on\n" if echo else b"\necho off\n"
sys.stdout.buffer.write(shown)
sys.exit(os.waitstatus_to_exitcode(status))
