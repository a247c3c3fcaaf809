#!/usr/bin/env bash
# Builds the navigator and runs one navigation on the sample network in
# examples/, in a scratch copy, then shows the result files.
# Usage: scripts/demo.sh [command line fields 1-9 and 11, e.g. "1,<code>,50,,0,D,0,MI,1"]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
build=${RILL_BUILD_ROOT:-$root/build}/plain
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j "$(nproc 2>/dev/null || echo 2)" --target rillmark >/dev/null

work=$(mktemp -d)
cp "$root"/examples/*.txt "$work"/
request=${1:-"1,41020003000006,50,41020003000001,0,D,0,MI,1"}
"$build/navigator/rillmark" "$request,$work/,result.csv,./,0,0" && status=0 || status=$?
echo "== exit status $status"
echo "== ccode.txt";  cat "$work/ccode.txt" 2>/dev/null || echo "(none)"
echo "== result.csv"; cat "$work/result.csv" 2>/dev/null || echo "(none)"
echo "== message.out (without the per-record lines of the table dump)"
grep -v '^Subscript: ' "$work/message.out" || true
echo "== work folder: $work"
