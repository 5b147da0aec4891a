#!/usr/bin/env python3
"""Runs a program on a terminal of its own and types ANSWER when it asks for a
password; prints what the terminal showed and exits with the program's status.

    type_password.py ANSWER PROGRAM [ARGUMENT...]
"""

import os
import pty
import sys

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
        os.write(terminal, sys.argv[1].encode() + b"\n")
        typed = True
_, status = os.waitpid(pid, 0)
sys.stdout.buffer.write(shown)
sys.exit(os.waitstatus_to_exitcode(status))
