#!/usr/bin/env bash
# The Windows program started by wine from a folder whose path is longer than
# MAX_PATH: GetModuleFileNameA cannot report it whole, so the program must end
# with the directory message and status 1 (never a search in a wrong folder).
# Usage: wine_long_path.sh WINE_RUN WINDOWS_PROGRAM (WINE_RUN: tools/wine-run)
set -u
wine_run=$1 program=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
dir=$work/$(printf 'p%.0s' {1..100})/$(printf 'q%.0s' {1..100})/$(printf 'r%.0s' {1..100})
mkdir -p "$dir"
cp "$program" "$dir/logsift.exe"
printf '[Config]\r\nsearch1=hit\r\nstart_time=2007_01\r\nend_time=2007_01\r\n' >"$dir/search.ini"
"$wine_run" "$dir/logsift.exe" >"$work/out" 2>"$work/err" </dev/null
status=$?
expected=$(printf 'logsift can not get executable file directory.\r\n_')
if [ "$status" -eq 1 ] && [ ! -s "$work/out" ] && [ "$(cat "$work/err"; printf _)" = "$expected" ]; then
  echo "folder of ${#dir} bytes: directory message, status 1"
  exit 0
fi
echo "folder of ${#dir} bytes: status $status, stdout and stderr:"
od -c "$work/out" | head -5
od -c "$work/err" | head -5
exit 1
