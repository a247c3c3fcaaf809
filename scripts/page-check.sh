#!/usr/bin/env bash
# Serves oswego with rillgeo serve and works its map page in a real browser
# (headless Chromium, driven through its DevTools protocol with
# python3-websocket, no network): loads the page, clicks a point on the Seneca
# River, navigates down the main path, waits for the route, reads the sites
# list and checks it against the service's answer and the sites known to lie
# below that point, follows a site of the list, reloads the page from its
# address alone, navigates from that point to a second (PP, two clicks), and
# keeps a screenshot.
#
# Usage: scripts/page-check.sh [BUILD-FOLDER [PNG]]
#   BUILD-FOLDER  where rillgeo is built (default build/page-check in the repository)
#   PNG           where the screenshot goes (default BUILD-FOLDER/page-check.png)
#   -h, --help    print this help
# Installs what it needs, chromium among it, with scripts/install-deps.sh (root).
set -euo pipefail
case ${1:-} in -h | --help) sed -n '2,/^[^#]/{/^#/s/^# \{0,1\}//p}' "$0"; exit 0 ;; esac

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=$(realpath -m "${1:-$repo/build/page-check}")
png=$(realpath -m "${2:-$build/page-check.png}")
data=$(realpath -m "$repo/../shared/data")
scratch=$(mktemp -d "${TMPDIR:-/tmp}/rill-page-check-XXXXXX")
server=
stop_server() { if [[ -n $server ]]; then kill "$server" 2>/dev/null || true; wait "$server" 2>/dev/null || true; fi; }
trap 'stop_server; rm -rf "$scratch"' EXIT

# Chromium and the rest, as every check installs them.
"$repo/scripts/install-deps.sh"

echo "== build into $build"
cmake -S "$repo" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DRILL_TESTS=OFF -DRILL_GEO=ON >/dev/null
cmake --build "$build" -j2 --target rillgeo >/dev/null
rillgeo=$build/rillgeo/rillgeo
flowlines=$data/oswego/raw/flowlines.gpkg

echo "== import, index the sample sites, serve"
"$rillgeo" import "$flowlines" --to "$scratch/oswego" >/dev/null
"$rillgeo" index "$repo/examples/oswego_sites.csv" --geometry "$flowlines" --tables "$scratch/oswego" \
  --out "$scratch/sites.csv" --keep-columns name >/dev/null || [[ $? == 4 ]]
port=$(/usr/bin/python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
"$rillgeo" serve --tables "$scratch/oswego" --geometry "$flowlines" --features "sites=$scratch/sites.csv" \
  --port "$port" >"$scratch/serve.log" 2>&1 &
server=$!
for _ in $(seq 600); do
  grep -qs "listening on" "$scratch/serve.log" && break
  kill -0 "$server" 2>/dev/null || { cat "$scratch/serve.log"; echo "FAIL rillgeo serve did not start"; exit 1; }
  sleep 0.1
done
grep -qs "listening on" "$scratch/serve.log" || { echo "FAIL rillgeo serve did not listen within a minute"; exit 1; }

echo "== the page in headless Chromium"
mkdir -p "$(dirname "$png")"
# A point on the Seneca River above the lock: 30 km down its main path pass
# the gauge at the lock.
timeout 300 /usr/bin/python3 "$repo/scripts/page-check.py" "http://127.0.0.1:$port" "$png" \
  --at=-76.27623,43.12355 --stop=-76.26077,43.16577 --mode DM --distance 30 --expect "Seneca River gauge at the lock"
