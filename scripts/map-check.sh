#!/usr/bin/env bash
# Draws an oswego navigation with rillgeo and renders the page in a real
# browser (headless Chromium, no network), then checks that the picture
# holds the route's colours and the faint network.
#
# Usage: scripts/map-check.sh [BUILD-FOLDER [PNG]]
#   BUILD-FOLDER  where rillgeo is built (default build/map-check in the repository)
#   PNG           where the rendered picture goes (default: a temporary folder's;
#                 docs/map-example.png is made with PNG = docs/map-example.png)
#   -h, --help    print this help
# Installs what it needs, chromium among it, with scripts/install-deps.sh (root).
set -euo pipefail
case ${1:-} in -h | --help) sed -n '2,/^[^#]/{/^#/s/^# \{0,1\}//p}' "$0"; exit 0 ;; esac

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=$(realpath -m "${1:-$repo/build/map-check}")
data=$(realpath -m "$repo/../shared/data")
scratch=$(mktemp -d "${TMPDIR:-/tmp}/rill-map-check-XXXXXX")
trap 'rm -rf "$scratch"' EXIT
png=$(realpath -m "${2:-$scratch/map.png}")

# Chromium and the rest, as every check installs them.
"$repo/scripts/install-deps.sh"

echo "== build into $build"
cmake -S "$repo" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DRILL_TESTS=OFF -DRILL_GEO=ON >/dev/null
cmake --build "$build" -j2 --target rillmark rillgeo >/dev/null
rillgeo=$build/rillgeo/rillgeo
rillmark=$build/navigator/rillmark

echo "== import, navigate, draw"
"$rillgeo" import "$data/oswego/raw/flowlines.gpkg" --to "$scratch/oswego"
"$rillmark" "5,04140201002304,50,04140203000132,10,D,0,MI,1,$scratch/oswego/,route.csv,./,0,0"
"$rillgeo" map "$scratch/oswego/route.csv" --tables "$scratch/oswego" \
  --geometry "$data/oswego/raw/flowlines.gpkg" --html "$scratch/route.html" --units MI

echo "== render with headless Chromium"
timeout 120 chromium --headless --no-sandbox --disable-gpu --disable-quic --no-first-run \
  --disable-background-networking --disable-component-update --disable-sync \
  --user-data-dir="$scratch/profile" --window-size=1200,900 --hide-scrollbars \
  --screenshot="$png" "file://$scratch/route.html" >/dev/null 2>&1
[[ -s $png ]] || { echo "FAIL no picture was rendered"; exit 1; }

echo "== check the picture"
# The pixels as raw RGB bytes, counted by kind: near one of the route's
# colours (the distance ramp), or the light grey of the network; the legend
# in the bottom left corner (which shows the ramp too) does not count.
gdal_translate -q -of ENVI -ot Byte -b 1 -b 2 -b 3 -co INTERLEAVE=BIP "$png" "$scratch/pixels.raw"
read -r route network < <(od -An -v -tu1 -w3 "$scratch/pixels.raw" | awk '
  BEGIN { n = split("68 1 84 59 82 139 33 145 140 94 201 98 181 212 44", c, " ") }
  {
    x = (NR - 1) % 1200; y = int((NR - 1) / 1200)
    if (x < 380 && y > 760) next
    for (i = 1; i <= n; i += 3)
      if (($1-c[i])^2 + ($2-c[i+1])^2 + ($3-c[i+2])^2 < 900) { route++; next }
    max = $1; min = $1
    if ($2 > max) max = $2; if ($3 > max) max = $3
    if ($2 < min) min = $2; if ($3 < min) min = $3
    if (min >= 180 && max <= 235 && max - min <= 25) network++
  }
  END { print route + 0, network + 0 }')
echo "route pixels: $route, network pixels: $network"
if ((route < 1000)); then echo "FAIL the route is missing from the picture"; exit 1; fi
if ((network < 5000)); then echo "FAIL the faint network is missing from the picture"; exit 1; fi
echo "map check passed ($png)"
