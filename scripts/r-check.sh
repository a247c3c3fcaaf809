#!/usr/bin/env bash
# Checks the R package of r/: makes its source tarball as `R CMD build r`
# does (after r/configure has copied the engine's sources and the sample
# network into r/, where git ignores them) and runs `R CMD check` on it
# (without the PDF manual), which installs it and runs its tests. The tests
# compare the package with the programs of a CMake build, its
# navigator/rillmark, on the sample network and every network of
# ../shared/data. Fails on any ERROR or WARNING of the check.
#
# Usage: scripts/r-check.sh BUILD-FOLDER   (scripts/test.sh passes its plain build)
#   writes BUILD-FOLDER/r-check/: the tarball, and rillmark.Rcheck/ with the
#   check's logs and the package installed (a library for bench/r_bench.R).
#   -h, --help  print this help
set -euo pipefail
case ${1:-} in -h | --help | "") sed -n '2,/^[^#]/{/^#/s/^# \{0,1\}//p}' "$0"; [[ -n ${1:-} ]]; exit ;; esac
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(realpath "$1")
exe=$build/navigator/rillmark
[[ -x $exe ]] || { echo "r-check: no $exe; build the target rillmark first" >&2; exit 1; }
out=$build/r-check
mkdir -p "$out"
rm -rf "$out/rillmark.Rcheck" "$out"/rillmark_*.tar.gz
export MAKEFLAGS=${MAKEFLAGS:--j$(nproc 2>/dev/null || echo 2)}
(cd "$root/r" && ./configure)
(cd "$out" && R CMD build --no-build-vignettes "$root/r")
tarball=$(ls "$out"/rillmark_*.tar.gz)
status=0
(cd "$out" && RILL_RILLMARK_EXE=$exe RILL_SOURCE_DIR=$root _R_CHECK_SYSTEM_CLOCK_=0 \
  R CMD check --no-manual "$tarball") || status=$?
log=$out/rillmark.Rcheck/00check.log
if ((status != 0)) || grep -q '^Status:.*\(ERROR\|WARNING\)' "$log"; then
  echo "r-check: R CMD check found errors or warnings ($log)" >&2
  for failed in "$out"/rillmark.Rcheck/tests/*.Rout.fail; do
    [[ -e $failed ]] && tail -40 "$failed" >&2
  done
  exit 1
fi
grep '^Status:' "$log"
