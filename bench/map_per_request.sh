#!/usr/bin/env bash
# Times `rillgeo map --per-request` on 5,000 requests on oswego: imports the
# GeoPackage, writes 5,000 seeded requests (types 1 to 4 both ways, 3 and 4
# with limits of 1 to 20 miles, random start measures), runs them as one batch,
# then draws one page per request in one call, and again with one GeoJSON
# file per request.
# Usage: bench/map_per_request.sh [BUILD-FOLDER]
#   BUILD-FOLDER  where rillmark and rillgeo are built (default build/plain)
#   -h, --help    print this help
# Environment: RILL_BENCH_KEEP=1 keeps the temporary work folder.
set -euo pipefail
case ${1:-} in -h | --help) sed -n '2,/^[^#]/{/^#/s/^# \{0,1\}//p}' "$0"; exit 0 ;; esac
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(realpath "${1:-$root/build/plain}")
data=$root/../shared/data/oswego/raw/flowlines.gpkg
work=$(mktemp -d "${TMPDIR:-/tmp}/rill-map-bench-XXXXXX")
[[ -n ${RILL_BENCH_KEEP:-} ]] || trap 'rm -rf "$work"' EXIT

"$build/rillgeo/rillgeo" import "$data" --to "$work/tables" >/dev/null
awk -F, 'BEGIN { srand(20261209); print "Request,NavType,StartReach,StartMeasure,Direction,Distance,DistanceUnits" }
  { code[NR] = $2 }
  END {
    for (i = 1; i <= 5000; i++) {
      type = 1 + int(rand() * 4); dir = rand() < 0.5 ? "U" : "D"
      limit = type >= 3 ? 1 + int(rand() * 20) : 0
      printf "site %d/%s,%d,%s,%d,%s,%d,MI\n", i, dir, type, code[1 + int(rand() * NR)], int(rand() * 100), dir, limit
    }
  }' "$work/tables/rchdata.txt" >"$work/requests.csv"
"$build/navigator/rillmark" batch "$work/requests.csv" --tables "$work/tables" --out "$work/results.csv" --no-progress
echo "results: $(($(wc -l <"$work/results.csv") - 1)) rows, $(du -h "$work/results.csv" | cut -f1)"
# Pages only, then pages with a GeoJSON file each (which needs the whole
# GeoJSON file too).
timed() {
  local label=$1
  shift
  local start end
  start=$(date +%s.%N)
  "$build/rillgeo/rillgeo" map "$work/results.csv" --tables "$work/tables" --geometry "$data" --units MI "$@"
  end=$(date +%s.%N)
  awk -v a="$start" -v b="$end" -v l="$label" 'BEGIN { printf "%s: %.1f s\n", l, b - a }'
}
timed "pages" --per-request "$work/pages"
html=$(find "$work/pages" -name '*.html' | wc -l)
echo "$html pages, $(du -sh "$work/pages" | cut -f1) in all, largest $(ls -S "$work/pages" | head -1)" \
  "$(du -h "$work/pages/$(ls -S "$work/pages" | head -1)" | cut -f1)"
rm -rf "$work/pages"
timed "pages and GeoJSON" --per-request "$work/pages" --geojson "$work/all.geojson"
