#!/usr/bin/env bash
# Builds the navigator twice (plain, and with AddressSanitizer and
# UndefinedBehaviorSanitizer) and runs the whole test suite in both builds,
# then every command block of the READMEs as written (scripts/readme-check.sh).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
out=${RILL_BUILD_ROOT:-$root/build}
jobs=$(nproc 2>/dev/null || echo 2)

for variant in plain sanitize; do
  dir=$out/$variant
  flags=(-DCMAKE_BUILD_TYPE=RelWithDebInfo)
  [ "$variant" = sanitize ] && flags+=(-DRILL_SANITIZE=ON)
  echo "== $variant build in $dir"
  cmake -S "$root" -B "$dir" "${flags[@]}" >/dev/null
  cmake --build "$dir" -j "$jobs"
  echo "== $variant tests"
  (cd "$dir" && ctest --output-on-failure -j "$jobs")
done

# Every command of the README and of examples/README.md, run as written.
echo "== README commands"
"$root/scripts/readme-check.sh" "$out/readme-check"
