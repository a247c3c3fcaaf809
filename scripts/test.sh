#!/usr/bin/env bash
# Builds the navigator twice (plain, and with AddressSanitizer and
# UndefinedBehaviorSanitizer) and runs the whole test suite in both builds,
# with the R package's check after the plain build (scripts/r-check.sh), then
# every command block of the READMEs as written (scripts/readme-check.sh).
# It writes only below the build folder and in temporary folders of its own,
# and installs nothing into the system's Python library.
#
# Usage: scripts/test.sh   (no arguments)
#   -h, --help  print this help
# Environment: RILL_BUILD_ROOT, the build folders' parent (default build/ in the clone).
set -euo pipefail
case ${1:-} in -h | --help) sed -n '2,/^[^#]/{/^#/s/^# \{0,1\}//p}' "$0"; exit 0 ;; esac
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
out=${RILL_BUILD_ROOT:-$root/build}
jobs=$(nproc 2>/dev/null || echo 2)
# The Python tests import from the build tree; no byte code beside the sources.
export PYTHONDONTWRITEBYTECODE=1
# Every test's scratch folder (and pytest's) below one folder of this run's own,
# removed at the end.
tmp=$(mktemp -d "${TMPDIR:-/tmp}/rill-test-XXXXXX")
trap 'rm -rf "$tmp"' EXIT
export TMPDIR=$tmp

for variant in plain sanitize; do
  dir=$out/$variant
  flags=(-DCMAKE_BUILD_TYPE=RelWithDebInfo)
  [ "$variant" = sanitize ] && flags+=(-DRILL_SANITIZE=ON)
  echo "== $variant build in $dir"
  cmake -S "$root" -B "$dir" "${flags[@]}" >/dev/null
  cmake --build "$dir" -j "$jobs"
  echo "== $variant tests"
  (cd "$dir" && ctest --output-on-failure -j "$jobs")
  if [ "$variant" = plain ]; then
    # The R package: its tarball checked, its tests against this build's programs.
    echo "== R package"
    "$root/scripts/r-check.sh" "$dir"
  fi
done

# Every command of the README and of examples/README.md, run as written.
echo "== README commands"
"$root/scripts/readme-check.sh" "$out/readme-check"
