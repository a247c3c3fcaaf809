#!/usr/bin/env bash
# Merges the outputs of a batch run in N shards (rillmark batch --shard K/N)
# into the files one process would have written: the header once, then each
# request's rows in request order.
#
# Usage: scripts/merge-shards.sh MERGED.csv PART1.csv ... PARTN.csv
#   MERGED.csv  the merged RESULTS; its STATUS goes to MERGED.status.csv, and,
#               when every shard wrote FEATURES (PARTk.features.csv, the default
#               name), its FEATURES to MERGED.features.csv, each request's sites
#               after its rows' request
#   PARTk.csv   the --out of shard k/N, given in shard order; its STATUS is
#               PARTk.status.csv (the default name)
#   -h, --help  print this help
# Request k of the whole batch is the next request of shard ((k-1) mod N)+1,
# so the STATUS lines are taken round-robin, and each one takes the rows of
# its shard that follow and carry its id. Request ids must hold no line break,
# and one shard must not hold two consecutive requests with the same id.
set -euo pipefail
case ${1:-} in -h | --help) sed -n '2,/^[^#]/{/^#/s/^# \{0,1\}//p}' "$0"; exit 0 ;; esac
if (($# < 2)); then
  echo "usage: $0 MERGED.csv PART1.csv ... PARTN.csv" >&2
  exit 2
fi
merged=$1
shift
status_of() { local p=$1; printf '%s.status.csv' "${p%.*}"; }
features_of() { local p=$1; printf '%s.features.csv' "${p%.*}"; }
args=()
withFeatures=1
for part in "$@"; do
  args+=("$part" "$(status_of "$part")")
  [[ -f "$(features_of "$part")" ]] || withFeatures=0
done
if ((withFeatures)); then
  mergedFeatures=$(features_of "$merged")
  for part in "$@"; do args+=("$(features_of "$part")"); done
else
  mergedFeatures=
fi

awk -v merged="$merged" -v mergedStatus="$(status_of "$merged")" -v mergedFeatures="$mergedFeatures" '
  # The quoted id that opens a line, quotes and all.
  function idOf(line,   i) {
    i = 2
    while (i <= length(line)) {
      if (substr(line, i, 1) == "\"") {
        if (substr(line, i + 1, 1) != "\"") break
        i++
      }
      i++
    }
    return substr(line, 1, i)
  }
  BEGIN {
    n = (mergedFeatures == "") ? (ARGC - 1) / 2 : (ARGC - 1) / 3
    for (k = 1; k <= n; k++) {
      rows[k] = ARGV[2 * k - 1]; stat[k] = ARGV[2 * k]
      if (mergedFeatures != "") {
        feat[k] = ARGV[2 * n + k]
        if ((getline fheader < feat[k]) <= 0) { print "cannot read " feat[k] > "/dev/stderr"; exit 1 }
        if (k == 1) print fheader > mergedFeatures
        hasFeat[k] = (getline frow[k] < feat[k]) > 0
      }
      if ((getline header < rows[k]) <= 0 || (getline sheader < stat[k]) <= 0) {
        print "cannot read " rows[k] " or " stat[k] > "/dev/stderr"; exit 1
      }
      if (k == 1) { print header > merged; print sheader > mergedStatus }
      hasRow[k] = (getline row[k] < rows[k]) > 0
    }
    for (k = 1; (getline line < stat[k]) > 0; k = k % n + 1) {
      print line > mergedStatus
      id = idOf(line)
      while (hasRow[k] && idOf(row[k]) == id) {
        print row[k] > merged
        hasRow[k] = (getline row[k] < rows[k]) > 0
      }
      while (mergedFeatures != "" && hasFeat[k] && idOf(frow[k]) == id) {
        print frow[k] > mergedFeatures
        hasFeat[k] = (getline frow[k] < feat[k]) > 0
      }
    }
    exit 0
  }' "${args[@]}"
