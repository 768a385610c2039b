#!/usr/bin/env bash
# Runs the native program and the Windows program (under wine) on every
# search.ini in a fixture folder, each beside the same month log, and requires
# the same exit status, standard output and standard error. The Windows
# program's streams write CR LF, which must be the only difference. Fixtures
# named differs-*.ini are the documented deliberate differences of the native
# reader: each has NAME.native and NAME.windows, the standard output that each
# program must give.
# Usage: compare_builds.sh WINE_RUN NATIVE_PROGRAM WINDOWS_PROGRAM FIXTURE_FOLDER
# (WINE_RUN is tools/wine-run, which runs a Windows program under wine.)
set -u
wine_run=$1 native=$2 windows=$3 fixtures=$4
for program in "$native" "$windows"; do
  [ -f "$program" ] || { echo "missing program: $program (build the native debug preset first)"; exit 1; }
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# run KIND INI: runs one program beside INI; leaves status, out and err in $work/KIND.
run() {
  local kind=$1 ini=$2 dir=$work/$1 exe
  rm -rf "$dir" && mkdir -p "$dir/app"
  cp "$ini" "$dir/app/search.ini"
  cp "$fixtures"/mcu_event_log_*.txt "$dir/app/"
  if [ "$kind" = native ]; then
    exe=$dir/app/logsift && cp "$native" "$exe"
    "$exe" >"$dir/out" 2>"$dir/err" </dev/null
  else
    exe=$dir/app/logsift.exe && cp "$windows" "$exe"
    "$wine_run" "$exe" >"$dir/out.crlf" 2>"$dir/err.crlf" </dev/null
  fi
  echo $? >"$dir/status"
}

# Checks that every LF in $1 follows a CR and writes the LF form to $2.
from_crlf() {
  python3 - "$1" "$2" <<'PY'
import sys
data = open(sys.argv[1], 'rb').read()
bare = data.replace(b'\r\n', b'')
if b'\n' in bare:
    sys.exit(f"{sys.argv[1]}: a line feed without a carriage return")
open(sys.argv[2], 'wb').write(data.replace(b'\r\n', b'\n'))
PY
}

agree=0 documented=0 failed=0
for ini in "$fixtures"/*.ini; do
  name=$(basename "$ini" .ini)
  run native "$ini"
  run windows "$ini"
  if ! from_crlf "$work/windows/out.crlf" "$work/windows/out" || ! from_crlf "$work/windows/err.crlf" "$work/windows/err"; then
    echo "FAIL $name: the Windows program wrote a bare LF"
    failed=$((failed + 1))
    continue
  fi
  if [[ $name == differs-* ]]; then
    if cmp -s "$work/native/out" "$fixtures/$name.native" && cmp -s "$work/windows/out" "$fixtures/$name.windows" &&
       ! cmp -s "$fixtures/$name.native" "$fixtures/$name.windows" &&
       [ "$(cat "$work/native/status")$(cat "$work/windows/status")" = 00 ] &&
       [ ! -s "$work/native/err" ] && [ ! -s "$work/windows/err" ]; then
      documented=$((documented + 1))
    else
      echo "FAIL $name: not the documented difference"
      for kind in native windows; do
        echo "  $kind status $(cat "$work/$kind/status"), stdout:"; od -c "$work/$kind/out" | head -5
      done
      failed=$((failed + 1))
    fi
    continue
  fi
  mismatch=""
  for part in status out err; do
    cmp -s "$work/native/$part" "$work/windows/$part" || mismatch+=" $part"
  done
  if [ -n "$mismatch" ]; then
    echo "FAIL $name: the programs differ in$mismatch"
    for kind in native windows; do
      echo "  $kind: status $(cat "$work/$kind/status")"; head -c 300 "$work/$kind/out" | od -c | head -4; cat "$work/$kind/err"
    done
    failed=$((failed + 1))
  else
    agree=$((agree + 1))
  fi
done
echo "settings fixtures: $agree agree, $documented differ as documented, $failed failed"
[ "$failed" -eq 0 ]
