#!/usr/bin/env python3
"""The data formats read back by real parsers: Python's csv and json modules.

Writes a month log whose messages hold commas, quotes, CR LF, lone LF and CR,
tabs, backslashes, characters beyond the BMP and bytes that are no UTF-8, runs
the program with --format csv and --format jsonl (results through --output),
and checks every row against the messages: csv fields and jsonl strings as
text, with each byte that is no UTF-8 as U+FFFD, and message_base64 giving the
exact bytes back.

Usage: read_back.py PROGRAM [EMULATOR]   (EMULATOR runs a Windows program)
"""
import base64
import codecs
import csv
import io
import json
import os
import subprocess
import sys
import tempfile

codecs.register_error("per_byte", lambda e: ("\ufffd" * (e.end - e.start), e.end))

MESSAGES = [
    b"plain words",
    b"a, comma",
    b'say "hi", please',
    b"two\r\nlines",
    b"lone\nfeed and lone\rreturn",
    b"tab\there \\ backslash / slash",
    "caf\u00e9 \u30b3\u30fc\u30d2\u30fc \U0001F600 \u2028 end".encode(),
    b"latin-1 caf\xe9 and cut \xe3\x82",
    b"\x01\x1f control \x7f",
    b'"',
    b"",
]
ROOMS = [b"Weekly sync", b"Room, with comma", b'Quote "room"', b"Caf\xe9 latin-1"]


def line(k, message):
    time = b"2007-01-%02d 09:%02d:00" % (k % 28 + 1, k % 60)
    room = ROOMS[k % len(ROOMS)]
    return time + b" im_log,from id,%d,to id,20%02d,conf id,7,[" % (1000 + k, k) + room + b"],msg=" + \
        base64.b64encode(message) + b"\r\n"


def text(raw):
    return raw.decode("utf-8", "per_byte")


def run(program, emulator, folder, form):
    out = os.path.join(folder, "out." + form)
    prefix = "Z:" if emulator else ""
    args = ([emulator] if emulator else []) + [program, "--dir", prefix + folder, "--start", "2007_01", "--end",
                                                 "2007_01", "--search", "", "--room", "", "--since", "2007-01-01",
                                                 "--format", form, "--output", prefix + out]
    with open(os.path.join(folder, "stdout"), "wb") as so, open(os.path.join(folder, "stderr"), "wb") as se:
        status = subprocess.run(args, stdout=so, stderr=se, stdin=subprocess.DEVNULL).returncode
    if status != 0:
        sys.exit(f"{form}: status {status}: " + open(os.path.join(folder, "stderr"), "rb").read().decode("utf-8", "replace"))
    with open(out, "rb") as f:
        return f.read()


def main():
    program = sys.argv[1]
    emulator = sys.argv[2] if len(sys.argv) > 2 else None
    failures = 0

    def check(what, got, want):
        nonlocal failures
        if got != want:
            failures += 1
            print(f"FAIL {what}:\n  got  {got!r}\n  want {want!r}")

    with tempfile.TemporaryDirectory() as folder:
        with open(os.path.join(folder, "mcu_event_log_2007_01.txt"), "wb") as f:
            for k, message in enumerate(MESSAGES):
                f.write(line(k, message))

        data = run(program, emulator, folder, "csv")
        check("csv line ends", data.endswith(b"\r\n"), True)
        check("csv is UTF-8", data.decode("utf-8", "strict") is not None, True)
        rows = list(csv.reader(io.StringIO(data.decode("utf-8"), newline=""), strict=True))
        check("csv header", rows[0], ["time", "from_id", "to_id", "conf_id", "room", "message"])
        check("csv rows", len(rows) - 1, len(MESSAGES))
        for k, (row, message) in enumerate(zip(rows[1:], MESSAGES)):
            check(f"csv row {k}", row, [text(line(k, message)[:19]), str(1000 + k), "20%02d" % k, "7",
                                        text(ROOMS[k % len(ROOMS)]), text(message)])

        data = run(program, emulator, folder, "jsonl")
        lines = data.split(b"\n")
        check("jsonl ends in LF", lines[-1], b"")
        check("jsonl rows", len(lines) - 1, len(MESSAGES))
        for k, (raw, message) in enumerate(zip(lines, MESSAGES)):
            record = json.loads(raw.decode("utf-8", "strict"))
            check(f"jsonl keys {k}", list(record), ["time", "from_id", "to_id", "conf_id", "room", "message",
                                                     "message_base64", "file"])
            check(f"jsonl message {k}", record["message"], text(message))
            check(f"jsonl bytes {k}", base64.b64decode(record["message_base64"]), message)
            check(f"jsonl room {k}", record["room"], text(ROOMS[k % len(ROOMS)]))
            check(f"jsonl file {k}", record["file"], "mcu_event_log_2007_01.txt")
    print(f"{len(MESSAGES)} messages, csv and jsonl: {failures} failures")
    sys.exit(1 if failures else 0)


main()
