#!/usr/bin/env bash
# Builds the fuzz targets (clang, libFuzzer, ASan+UBSan) and runs each one
# for a while, one after the other.
#
# Usage: scripts/fuzz.sh [SECONDS] [TARGET...]
#   SECONDS     how long each target runs (default 60)
#   TARGET      fuzz_command_line, fuzz_tables or fuzz_navigate (default: all three)
#   -h, --help  print this help
#
# RILL_FUZZ_BUILD sets the build folder (default build/fuzz). The seed
# corpora in fuzz/corpus/ are only read; what a run learns goes to
# <build>/corpus/<target>, and a crashing input to <build>/artifacts/.
set -euo pipefail
case ${1:-} in -h | --help) sed -n '2,/^[^#]/{/^#/s/^# \{0,1\}//p}' "$0"; exit 0 ;; esac
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-60}
shift || true
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(fuzz_command_line fuzz_tables fuzz_navigate)
build=${RILL_FUZZ_BUILD:-$root/build/fuzz}

# The compiler and the libFuzzer runtime come from Debian's packages.
missing=()
command -v clang++-14 >/dev/null || missing+=(clang-14)
ls /usr/lib/llvm-14/lib/clang/*/lib/linux/libclang_rt.fuzzer-x86_64.a >/dev/null 2>&1 || missing+=(libclang-rt-14-dev)
command -v cmake >/dev/null || missing+=(cmake)
command -v make >/dev/null || missing+=(make)
if [ ${#missing[@]} -gt 0 ]; then
  export DEBIAN_FRONTEND=noninteractive
  apt-get update
  apt-get install -y --no-install-recommends "${missing[@]}"
fi

echo "== fuzz build in $build"
CC=clang-14 cmake -S "$root" -B "$build" -DRILL_FUZZ=ON -DRILL_TESTS=OFF \
  -DCMAKE_CXX_COMPILER=clang++-14 -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j 2 --target "${targets[@]}"

# Longest input per target: a command line is at most 999 characters (a
# little more shows the refusal); three tables need room for some lines.
max_len() {
  case $1 in
    fuzz_command_line) echo 1200 ;;
    fuzz_tables) echo 8192 ;;
    *) echo 2048 ;;
  esac
}

# Result files of the navigation target go to memory when /dev/shm allows.
scratch=$(mktemp -d -p /dev/shm 2>/dev/null || mktemp -d)
trap 'rm -rf "$scratch"' EXIT
failed=()
for target in "${targets[@]}"; do
  corpus=$build/corpus/$target
  artifacts=$build/artifacts/$target/
  mkdir -p "$corpus" "$artifacts"
  echo "== $target for $seconds s"
  # The navigation target writes its result files under TMPDIR.
  if ! TMPDIR=$scratch "$build/fuzz/$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
      -max_len="$(max_len "$target")" -print_final_stats=1 -artifact_prefix="$artifacts" \
      "$corpus" "$root/fuzz/corpus/$target" 2>"$build/$target.log"; then
    failed+=("$target")
    tail -n 60 "$build/$target.log"
  else
    grep -E '^(Done|stat::number_of_executed_units|stat::peak_rss_mb)' "$build/$target.log" || true
  fi
  rm -rf "${scratch:?}"/*
done

if [ ${#failed[@]} -gt 0 ]; then
  echo "fuzzing found a fault in: ${failed[*]} (inputs in $build/artifacts/)"
  exit 1
fi
echo "fuzzing: ${#targets[@]} targets ran ${seconds} s each without a fault"
