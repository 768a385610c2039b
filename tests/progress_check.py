#!/usr/bin/env python3
"""The progress line, seen on a terminal.

The month log is a FIFO that this script feeds slowly, so the search runs for
more than a second. With standard error on a pseudo-terminal the program must
draw a progress line there (the log's name, the bytes read, the matches) and
erase it at the end; with --no-progress, or with standard error in a file, it
must write nothing there. The results go to a file each time, whole.

Under wine (EMULATOR given) the program's console draws on the terminal with
escape sequences of its own, which are taken out first.

Usage: progress_check.py PROGRAM [EMULATOR]
"""
import base64
import os
import pty
import re
import select
import subprocess
import sys
import tempfile
import time

program = sys.argv[1]
emulator = sys.argv[2:]
LOG = "mcu_event_log_2007_01.txt"


def record(k):
    return b"2007-01-08 09:02:13 im_log,from id,1,to id,2,conf id,7,[Room],msg=" + \
        base64.b64encode(b"hit number %d" % k) + b"\n"


def run(extra, stderr_on_terminal):
    with tempfile.TemporaryDirectory() as folder:
        os.mkfifo(os.path.join(folder, LOG))
        out_path = os.path.join(folder, "out")
        err_path = os.path.join(folder, "err")
        master = slave = None
        if stderr_on_terminal:
            master, slave = pty.openpty()
            err = slave
        else:
            err = open(err_path, "wb")
        with open(out_path, "wb") as out:
            args = ["--dir", ("Z:" if emulator else "") + folder, "--start", "2007_01", "--end", "2007_01", "--search",
                    "hit"] + extra
            child = subprocess.Popen(emulator + [program] + args, stdin=subprocess.DEVNULL, stdout=out, stderr=err)
        if slave is not None:
            os.close(slave)
        else:
            err.close()
        shown = b""
        with open(os.path.join(folder, LOG), "wb", buffering=0) as log:
            for k in range(3):
                log.write(b"".join(record(100 * k + i) for i in range(100)))
                deadline = time.monotonic() + 0.8
                while time.monotonic() < deadline:
                    if master is not None and select.select([master], [], [], 0.05)[0]:
                        shown += os.read(master, 65536)
                    else:
                        time.sleep(0.05)
        status = child.wait(timeout=30)
        while master is not None and select.select([master], [], [], 0.2)[0]:
            try:
                data = os.read(master, 65536)
            except OSError:
                break
            if not data:
                break
            shown += data
        if master is not None:
            os.close(master)
        else:
            with open(err_path, "rb") as f:
                shown = f.read()
        with open(out_path, "rb") as f:
            results = f.read().count(b"\n")
        # A console under wine: the cursor hidden and shown around each
        # character, and a blank drawn as "clear to the end, one step right".
        shown = re.sub(rb"\x1b\[K\x1b\[1C", b" ", shown)
        shown = re.sub(rb"\x1b\[[0-9;?]*[ -/]*[@-~]|\x1b\][^\x07]*\x07", b"", shown)
        return status, shown, results


failures = 0


def check(what, ok, detail):
    global failures
    if not ok:
        failures += 1
        print(f"FAIL {what}: {detail!r}")


status, shown, results = run([], True)
check("status", status == 0, status)
check("results", results == 301, results)
check("drawn", (LOG + ": ").encode() in shown and b" MB read, " in shown and b" matches" in shown, shown)
# Erased: the last thing written is a CR, blanks over the whole line and a CR.
m = re.search(rb"(?:^|\r)([^\r]*)\r( +)\r$", shown)
check("erased at the end", m is not None and len(m.group(2)) >= len(m.group(1)), shown[-200:])

for what, extra, terminal in (("--no-progress", ["--no-progress"], True), ("standard error in a file", [], False)):
    status, shown, results = run(extra, terminal)
    check(what + ": status", status == 0, status)
    check(what + ": results", results == 301, results)
    check(what + ": nothing on standard error", shown == b"", shown)

print("progress line:", "ok" if failures == 0 else f"{failures} failures")
sys.exit(1 if failures else 0)
