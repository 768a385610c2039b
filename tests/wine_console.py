#!/usr/bin/env python3
"""The Windows program's console line, seen on a terminal.

Started by wine with its standard streams on a pseudo-terminal, a console
program gets a console (wine's Unix console, which draws on the terminal in
the terminal's charset, here UTF-8). console_line_probe writes a line through
platform_console_write_line between two lines written as bytes; the terminal
must show the line's characters, between the other two.

With --search, the program is logsift itself, run with the arguments that
follow, under the Japanese code page (whose console would show UTF-8 bytes as
other characters): what it prints must show as the UTF-8 text of
EXPECTED_FILE, white space aside (the console breaks long lines).

Usage: wine_console.py WINE_RUN PROBE_EXE (WINE_RUN: tools/wine-run)
       wine_console.py WINE_RUN LOGSIFT_EXE --search EXPECTED_FILE ARGS...
"""
import os
import pty
import re
import select
import subprocess
import sys
import time

wine_run, probe = sys.argv[1], sys.argv[2]
expected = "before\nKaffee\u2615\u30b3\u30fc\u30d2\u30fc\nafter\n".encode("utf-8")
args, locale = [], "C.UTF-8"
if len(sys.argv) > 3 and sys.argv[3] == "--search":
    with open(sys.argv[4], "rb") as f:
        expected = re.sub(rb"\s", b"", f.read())
    args, locale = sys.argv[5:], "ja_JP.UTF-8"
master, slave = pty.openpty()
environment = dict(os.environ, LC_ALL=locale)
child = subprocess.Popen([wine_run, probe] + args, stdin=slave, stdout=slave, stderr=slave, env=environment)
os.close(slave)

# Every byte until the terminal closes; or, since a helper process of wine may
# hold the terminal open, until it has been quiet for a while after the
# program ended.
shown = b""
deadline = time.monotonic() + 120
while time.monotonic() < deadline:
    ready, _, _ = select.select([master], [], [], 0.5)
    if not ready:
        if child.poll() is not None:
            break
        continue
    try:
        data = os.read(master, 65536)
    except OSError:  # EIO: every writer has closed the terminal
        break
    if not data:
        break
    shown += data
status = child.wait(timeout=max(1.0, deadline - time.monotonic()))
os.close(master)

# The console draws with escape sequences, and may move the cursor over a
# blank instead of writing a space; the terminal adds a CR to each LF. What
# remains is the text in the order it was drawn.
text = re.sub(rb"\x1b\[[0-9;?]*[ -/]*[@-~]|\x1b\][^\x07]*\x07|[ \r]", b"", shown)
if args:  # the console breaks long lines where it likes
    text = re.sub(rb"\s", b"", text)
if status == 0 and text == expected:
    print("console line shown as UTF-8 between the byte lines:", text.decode("utf-8").replace("\n", " | "))
    sys.exit(0)
print(f"status {status} (2: no console, 3: console line failed, 4: non-UTF-8 text taken, 5: stdout failed)")
print("expected:", expected)
print("shown:   ", text)
print("raw:     ", shown[:2000])
sys.exit(1)
