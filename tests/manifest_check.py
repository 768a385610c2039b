#!/usr/bin/env python3
"""The manifest read back by Python's json module.

Runs manifest_demo, which writes a fixed manifest, and checks that json.loads
reads it: the members in their order, integers where numbers are due, the
SHA-256 as 64 lowercase hex digits, every setting a string, the escaped text
read back as it was given (a byte that is not UTF-8 as U+FFFD), and the text
laid out exactly as json.dumps(indent=2) lays it out.

Usage: manifest_check.py DEMO [EMULATOR]   (EMULATOR runs a Windows program)
"""
import json
import re
import subprocess
import sys
import tempfile

TOP = ["tool", "started", "finished", "settings", "files", "missing", "matches", "exit_status"]
FILE = ["name", "size", "sha256", "records", "matches", "status"]
TIME = re.compile(r"\d{4}-\d\d-\d\dT\d\d:\d\d:\d\dZ")


def is_int(value):
    return isinstance(value, int) and not isinstance(value, bool)


def main():
    # Into a file, not a pipe: wine's programs are run with files only.
    with tempfile.TemporaryFile() as out:
        subprocess.run(sys.argv[2:] + sys.argv[1:2], check=True, stdin=subprocess.DEVNULL, stdout=out)
        out.seek(0)
        text = out.read().decode("utf-8")  # strict: the manifest is UTF-8
    doc = json.loads(text)
    failures = []

    def check(ok, what):
        if not ok:
            failures.append(what)

    check(list(doc) == TOP, f"members {list(doc)}")
    check(isinstance(doc["tool"], str), "tool is no string")
    for name in ("started", "finished"):
        check(TIME.fullmatch(doc[name]) is not None, f"{name} {doc[name]!r}")
    check(isinstance(doc["settings"], dict), "settings is no object")
    check(all(isinstance(v, str) for v in doc["settings"].values()), f"settings {doc['settings']}")
    check(doc["settings"] == {"log_dir": "C:\\logs\\", "search1": 'say "hi"\tnow', "ignore_case": "1"},
          f"settings {doc['settings']}")
    check(isinstance(doc["files"], list) and len(doc["files"]) == 2, "files")
    for f in doc["files"]:
        check(list(f) == FILE, f"file members {list(f)}")
        check(isinstance(f["name"], str) and isinstance(f["status"], str), f"file texts {f}")
        check(all(is_int(f[k]) and f[k] >= 0 for k in ("size", "records", "matches")), f"file numbers {f}")
        check(re.fullmatch("[0-9a-f]{64}", f["sha256"]) is not None, f"sha256 {f['sha256']!r}")
    check(doc["files"][0]["size"] == 5000000000, "size beyond 32 bits")
    check(doc["files"][1]["status"] == 'cannot read "it": caf\ufffd', f"status {doc['files'][1]['status']!r}")
    check(doc["missing"] == ["mcu_event_log_2026_02.txt"], f"missing {doc['missing']}")
    check(is_int(doc["matches"]) and is_int(doc["exit_status"]), "matches, exit_status")
    check(text == json.dumps(doc, indent=2, ensure_ascii=False) + "\n", "not laid out as json.dumps(indent=2)")

    for failure in failures:
        print("FAIL:", failure)
    if failures:
        print(text)
        sys.exit(1)
    print("ok: the manifest reads back with the members, types and text expected")


main()
