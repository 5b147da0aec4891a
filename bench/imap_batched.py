#!/usr/bin/env python3
"""The yardstick for bench/imap-mailbox: Python's imaplib fetching a whole folder
in one batched command over TLS; prints how many messages came.

    imap_batched.py HOST PORT USER PASSWORD_FILE CAFILE FOLDER
"""

import imaplib
import ssl
import sys

host, port, user, password_file, cafile, folder = sys.argv[1:7]
context = ssl.create_default_context(cafile=cafile)
with open(password_file) as f:
    password = f.readline().rstrip("\n")
imap = imaplib.IMAP4_SSL(host, int(port), ssl_context=context)
imap.login(user, password)
imap.select(folder, readonly=True)
status, data = imap.uid("FETCH", "1:*", "(BODY.PEEK[])")
if status != "OK":
    sys.exit(f"fetch failed: {status}")
print(sum(1 for item in data if isinstance(item, tuple)))
imap.logout()
