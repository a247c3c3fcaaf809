#!/usr/bin/env bash
# Builds the navigator and runs one navigation on the sample network of
# examples/ in a fresh temporary folder (mktemp), then shows its files.
#
# Usage: scripts/demo.sh [FIELDS]
#   FIELDS   the first nine fields of a single run's command line, NavType to
#            TraversalOrder, each holding something (write 0 when unused), e.g.
#            scripts/demo.sh "2,41020003000001,0,0,0,U,0,MI,1"   everything upstream of the mouth
#            (default "1,41020003000006,50,41020003000001,0,D,0,MI,1", down the main path);
#            the demo adds the work folder, result.csv, ./ and 0,0.
#            Reach codes and more requests: examples/README.md; each field: rillmark --help.
#   -h, --help  print this help.
# Ends with the navigator's exit status; 2 when FIELDS cannot be used.
# Environment: RILL_BUILD_ROOT, the build folder's parent (default build/ in the clone).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
usage() { sed -n '2,/^[^#]/{/^#/s/^# \{0,1\}//p}' "$0"; }
case ${1:-} in
  -h | --help) usage; exit 0 ;;
esac
if (($# > 1)); then
  echo "demo.sh: one argument, the nine fields joined by commas in quotes (see scripts/demo.sh --help)" >&2
  exit 2
fi
request=${1:-"1,41020003000006,50,41020003000001,0,D,0,MI,1"}
# Nine fields, none empty: a run of commas would shift the later fields.
IFS=, read -r -a fields <<<"$request,"
if ((${#fields[@]} != 9)) || [[ $request == *,,* || $request == ,* || $request == *, ]]; then
  echo "demo.sh: \"$request\" is not nine fields, each holding something (NavType to TraversalOrder," \
    "e.g. \"2,41020003000001,0,0,0,U,0,MI,1\"; see scripts/demo.sh --help)" >&2
  exit 2
fi

echo "== checking the Debian packages the build needs"
"$root/scripts/install-deps.sh"
build=${RILL_BUILD_ROOT:-$root/build}/plain
echo "== building rillmark in $build (a minute or two the first time)"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j "$(nproc 2>/dev/null || echo 2)" --target rillmark >/dev/null

work=$(mktemp -d "${TMPDIR:-/tmp}/rill-demo-XXXXXX")
cp "$root"/examples/*.txt "$work"/
line="$request,$work/,result.csv,./,0,0"
echo "== navigating: rillmark $line"
status=0
"$build/navigator/rillmark" "$line" || status=$?
echo "== exit status $status"
echo "== ccode.txt"
cat "$work/ccode.txt" 2>/dev/null || echo "(none)"
echo "== result.csv"
cat "$work/result.csv" 2>/dev/null || echo "(none)"
if [[ -f $work/message.out ]]; then
  echo "== message.out (without the per-record lines of the table dump)"
  grep -v '^Subscript: ' "$work/message.out" || true
fi
echo "== work folder: $work"
echo "== another request: scripts/demo.sh \"2,41020003000001,0,0,0,U,0,MI,1\" (everything upstream of the mouth;" \
  "each field: rillmark --help; the reaches: examples/README.md)"
exit "$status"
