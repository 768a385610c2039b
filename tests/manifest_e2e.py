#!/usr/bin/env python3
"""--manifest as an auditor reads it: parsed by Python's json module, its
hashes held against hashlib's SHA-256 of the same files.

The range holds a log, a missing month and a month that cannot be read (a
folder in its place). Where the system can limit a file's size (not under
wine), a search whose results cannot be written whole must still leave its
manifest, with the failure's exit status.

Usage: manifest_e2e.py PROGRAM [EMULATOR]
"""
import base64
import hashlib
import json
import os
import re
import subprocess
import sys
import tempfile

program = sys.argv[1]
emulator = sys.argv[2] if len(sys.argv) > 2 else None
prefix = "Z:" if emulator else ""
failures = 0


def check(what, ok, detail=""):
    global failures
    if not ok:
        failures += 1
        print(f"FAIL {what}: {detail!r}")


def record(k, text):
    return (b"2007-01-08 09:%02d:00 im_log,from id,%d,to id,2,conf id,7,[Room],msg=" % (k % 60, k) +
            base64.b64encode(text) + b"\r\n")


def run(args, wrapper=()):
    with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err:
        command = list(wrapper) + ([emulator] if emulator else []) + [program] + args
        status = subprocess.run(command, stdin=subprocess.DEVNULL, stdout=out, stderr=err).returncode
        err.seek(0)
        return status, err.read()


with tempfile.TemporaryDirectory() as folder:
    log = b"a line that is no record\r\n" + b"".join(record(k, b"hit %d" % k if k % 3 == 0 else b"miss")
                                                     for k in range(40))
    with open(os.path.join(folder, "mcu_event_log_2007_01.txt"), "wb") as f:
        f.write(log)
    os.mkdir(os.path.join(folder, "mcu_event_log_2007_03.txt"))
    manifest_path = os.path.join(folder, "m.json")
    args = ["--dir", prefix + folder, "--start", "2007_01", "--end", "2007_03", "--search", "hit", "--output",
            prefix + os.path.join(folder, "out.txt"), "--manifest", prefix + manifest_path]
    status, err = run(args)
    check("status", status == 0, (status, err))
    with open(manifest_path, "rb") as f:
        m = json.loads(f.read().decode("utf-8", "strict"))
    check("keys", list(m) == ["tool", "started", "finished", "settings", "files", "missing", "matches",
                              "exit_status"], list(m))
    check("tool", m["tool"].startswith("logsift version "), m["tool"])
    for key in ("started", "finished"):
        check(key, re.fullmatch(r"\d{4}-\d\d-\d\dT\d\d:\d\d:\d\dZ", m[key]) is not None, m[key])
    check("times in order", m["started"] <= m["finished"], (m["started"], m["finished"]))
    settings = m["settings"]
    check("settings are text", all(isinstance(v, str) for v in settings.values()), settings)
    check("settings: the search", settings.get("search1") == "hit" and settings.get("start_time") == "2007_01" and
          settings.get("end_time") == "2007_03", settings)
    check("settings: the folder", settings.get("log_dir", "").replace("\\", "/").endswith(
        os.path.basename(folder)), settings.get("log_dir"))
    check("settings: the settings file", settings.get("settings_file", "").endswith("search.ini"),
          settings.get("settings_file"))
    files = m["files"]
    check("files", [f["name"] for f in files] == ["mcu_event_log_2007_01.txt", "mcu_event_log_2007_03.txt"], files)
    if len(files) == 2:
        first, unreadable = files
        check("size", first["size"] == len(log), first)
        check("sha256 as sha256sum gives it", first["sha256"] == hashlib.sha256(log).hexdigest(), first)
        check("records", first["records"] == 40, first)
        check("matches", first["matches"] == 14, first)
        check("status", first["status"] == "ok", first)
        check("the unreadable month", unreadable["status"] != "ok" and unreadable["size"] == 0 and
              unreadable["sha256"] == hashlib.sha256(b"").hexdigest(), unreadable)
        check("integers", all(isinstance(f[k], int) for f in files for k in ("size", "records", "matches")), files)
    check("missing", m["missing"] == ["mcu_event_log_2007_02.txt"], m["missing"])
    check("total", m["matches"] == 14, m["matches"])
    check("exit status", m["exit_status"] == 0, m["exit_status"])
    check("no file left beside", sorted(os.listdir(folder)) == ["m.json", "mcu_event_log_2007_01.txt",
                                                                "mcu_event_log_2007_03.txt", "out.txt"],
          os.listdir(folder))

    if not emulator:
        # Results past the file size limit (as on a full disk); the manifest is smaller than the limit.
        big = b"".join(record(k, b"hit " + b"x" * 200) for k in range(100))
        with open(os.path.join(folder, "mcu_event_log_2007_01.txt"), "wb") as f:
            f.write(big)
        limited = ["bash", "-c", "trap '' XFSZ; ulimit -f 8; exec \"$@\"", "bash"]
        status, err = run(args, limited)
        check("write error: status", status == 1, (status, err))
        check("write error: told", b"can not write to " in err, err)
        with open(manifest_path, "rb") as f:
            m = json.loads(f.read())
        check("write error: the manifest's exit status", m["exit_status"] == 1, m["exit_status"])
        check("write error: the log hashed whole", m["files"][0]["sha256"] == hashlib.sha256(big).hexdigest(),
              m["files"][0])

print("manifest:", "ok" if failures == 0 else f"{failures} failures")
sys.exit(1 if failures else 0)
