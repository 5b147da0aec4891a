#!/usr/bin/env python3
"""An IMAP server that misbehaves, for the tests of the IMAP input.

    hostile_imap.py PORT CERT KEY BEHAVIOUR

Serves imaps on 127.0.0.1:PORT. It answers CAPABILITY, LOGIN, EXAMINE,
UID SEARCH (UIDs 1 and 2) and UID FETCH as a server would, except where
BEHAVIOUR says otherwise:
  stall-greeting  sends nothing after the TLS handshake
  stall-fetch     sends half of a message's literal, then nothing
  close-fetch     sends half of a message's literal, then closes
  trickle-fetch   sends a message's literal one byte every half second
  chatter-fetch   answers a fetch with "* OK still here" every half second
  huge-literal    announces a literal of 2 TB for a message
  gone-fetch      message 1 went away: a fetch answers "NO [EXPUNGEISSUED]"
  garbage-search  answers the search with control characters and letters
  garbage-examine answers EXAMINE with a terminal escape in an untagged line
  no-starttls     speaks plain IMAP and does not offer STARTTLS
  many-uids       holds UIDs 1 to 40000: a search answers every UID of its span
  interleave-fetch holds UIDs 1 to 600; fetches asked for at once (any that
                  come within 0.3 s of one another) are answered interleaved,
                  a message of each in turn, as Dovecot may
  stray-fetch     holds UIDs 1 and 3; a fetch is answered with message 2 first
"""

import itertools
import select
import socket
import ssl
import sys
import threading
import time

MESSAGE = b"From: a@example.com\r\nSubject: Order\r\n\r\nName: Ann\r\n"


def fetched_uids(words):
    uids = []
    for part in words[3].split(","):
        first, _, last = part.partition(":")
        uids += range(int(first), int(last or first) + 1)
    return uids


def serve(conn, behaviour):
    def send(data):
        conn.sendall(data)

    def stall():
        time.sleep(3600)

    if behaviour == "stall-greeting":
        stall()
    send(b"* OK hostile ready\r\n")
    # Unbuffered, so that select() tells whether another command came.
    reader = conn.makefile("rb", buffering=0)  # CAPABILITY below offers no STARTTLS
    for line in iter(reader.readline, b""):
        words = line.decode("latin-1").split()
        if len(words) < 2:
            continue
        tag, command = words[0], words[1].upper()
        if command == "UID" and len(words) > 2:
            command = "UID " + words[2].upper()
        if command == "CAPABILITY":
            send(b"* CAPABILITY IMAP4rev1\r\n")
        elif command == "EXAMINE":
            if behaviour == "garbage-examine":
                send(b"* OK [UIDVALIDITY \x1b[2J\x1b]0;owned\x07]\r\n")
                send(tag.encode() + b" OK \x1b[31mdone\r\n")
                continue
            uid_next = {"many-uids": b"40001", "interleave-fetch": b"601", "stray-fetch": b"4"}.get(
                behaviour, b"3")
            send(b"* 2 EXISTS\r\n* OK [UIDVALIDITY 7] ok\r\n* OK [UIDNEXT " + uid_next + b"] ok\r\n")
            send(tag.encode() + b" OK [READ-ONLY] done\r\n")
            continue
        elif command == "UID SEARCH":
            if behaviour == "many-uids":
                first, last = map(int, words[-1].split(":"))
                uids = " ".join(str(uid) for uid in range(first, last + 1))
                send(b"* SEARCH " + uids.encode() + b"\r\n")
            elif behaviour == "interleave-fetch":
                send(b"* SEARCH " + " ".join(str(uid) for uid in range(1, 601)).encode() + b"\r\n")
            elif behaviour == "stray-fetch":
                send(b"* SEARCH 1 3\r\n")
            elif behaviour == "garbage-search":
                send(b"* SEARCH 1 \x1b[31mred\x07 2\r\n")
            else:
                send(b"* SEARCH 1 2\r\n")
        elif command == "UID FETCH" and behaviour == "interleave-fetch":
            asked = [(tag, fetched_uids(words))]
            while conn.pending() or select.select([conn], [], [], 0.3)[0]:
                more = reader.readline().decode("latin-1").split()
                asked.append((more[0], fetched_uids(more)))
            for turn in itertools.zip_longest(*(uids for _, uids in asked)):
                for uid in filter(None, turn):
                    text = b"Name: %d\r\n" % uid
                    send(b"* %d FETCH (UID %d BODY[] {%d}\r\n%s)\r\n" % (uid, uid, len(text), text))
            send(b"".join(asker.encode() + b" OK done\r\n" for asker, _ in asked))
            continue
        elif command == "UID FETCH":
            uids = fetched_uids(words)
            if behaviour == "chatter-fetch":
                while True:
                    send(b"* OK still here\r\n")
                    time.sleep(0.5)
            if behaviour == "gone-fetch":
                uids.remove(1)
            if behaviour == "stray-fetch":
                text = b"Name: Stray\r\n"
                send(b"* 2 FETCH (UID 2 BODY[] {%d}\r\n%s)\r\n" % (len(text), text))
            for uid in uids:
                head = b"* %d FETCH (UID %d BODY[] {" % (uid, uid)
                if behaviour == "huge-literal":
                    send(head + b"2199023255552}\r\n" + MESSAGE)
                    stall()
                if behaviour == "trickle-fetch":
                    send(head + str(len(MESSAGE)).encode() + b"}\r\n")
                    for byte in MESSAGE:
                        send(bytes([byte]))
                        time.sleep(0.5)
                if behaviour in ("stall-fetch", "close-fetch"):
                    send(head + str(len(MESSAGE)).encode() + b"}\r\n" + MESSAGE[:20])
                    if behaviour == "stall-fetch":
                        stall()
                    conn.close()
                    return
                send(head + str(len(MESSAGE)).encode() + b"}\r\n" + MESSAGE + b")\r\n")
            if behaviour == "gone-fetch":
                send(tag.encode() + b" NO [EXPUNGEISSUED] Some messages no longer exist\r\n")
                continue
        elif command == "LOGOUT":
            send(b"* BYE\r\n")
        send(tag.encode() + b" OK done\r\n")


def handle(raw, context, behaviour):
    try:
        if behaviour == "no-starttls":
            with raw:
                serve(raw, behaviour)
            return
        with context.wrap_socket(raw, server_side=True) as conn:
            serve(conn, behaviour)
    except (OSError, ssl.SSLError):
        pass


def main():
    port, cert, key, behaviour = sys.argv[1], sys.argv[2], sys.argv[3], sys.argv[4]
    context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
    context.load_cert_chain(cert, key)
    listener = socket.socket()
    listener.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    listener.bind(("127.0.0.1", int(port)))
    listener.listen(8)
    while True:
        raw, _ = listener.accept()
        threading.Thread(target=handle, args=(raw, context, behaviour), daemon=True).start()


if __name__ == "__main__":
    main()
