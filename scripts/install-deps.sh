#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and CI need, when some
# are missing: with apt-get when run as root; otherwise prints the one
# apt-get line that installs them and ends with status 1.
# Usage: scripts/install-deps.sh     (scripts/demo.sh, scripts/test.sh and .ci/run call it)
#   -h, --help  print this help
set -euo pipefail
case ${1:-} in -h | --help) sed -n '2,/^[^#]/{/^#/s/^# \{0,1\}//p}' "$0"; exit 0 ;; esac

packages=(
  cmake g++ make libgtest-dev clang-format
  # rillgeo: GDAL for the GIS formats, GEOS for the geometry; CLI11 for the
  # named options of rillgeo and rillmark batch.
  libgdal-dev gdal-bin libcli11-dev libgeos-dev
  # The Python module and its tests.
  pybind11-dev python3-pybind11 python3-dev python3-pandas python3-numpy python3-pytest
  python3-dask python3-distributed
  # The R package (r/) and its tests; sf for the plotting example of docs/r.md.
  r-base-dev r-cran-rcpp r-cran-testthat r-cran-sf
  # bench/: the graph library the whole-basin walk is timed against.
  python3-igraph
  # rillgeo serve: HTTP and JSON.
  libcpp-httplib-dev nlohmann-json3-dev
  # rillgeo serve's map page: Leaflet, built into the program; its check in
  # headless Chromium, driven over DevTools from Python.
  libjs-leaflet
  chromium python3-websocket
)

missing=()
for package in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
  [[ $status == "install ok installed" ]] || missing+=("$package")
done
((${#missing[@]})) || exit 0

line="apt-get update && apt-get install -y --no-install-recommends ${missing[*]}"
if [[ $(id -u) != 0 ]]; then
  echo "The build needs these Debian packages; install them as root first:" >&2
  echo "  $line" >&2
  exit 1
fi
echo "installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
apt-get update
apt-get install -y --no-install-recommends "${missing[@]}"
