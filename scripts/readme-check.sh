#!/usr/bin/env bash
# Runs every fenced ```sh block (with bash) and ```r block (with Rscript) of
# README.md, docs/*.md and examples/README.md as written, one after the
# other from the top of a scratch copy of the
# repository with the shared data beside it (../shared), and checks that
# each one ends with status 0. A block right after an HTML comment
# `<!-- not run: REASON -->` is skipped (it needs ssh hosts, root, or is the
# test command that runs this check). The blocks run with TMPDIR set to a
# folder of the scratch copy's, emptied first, so that what they make with
# mktemp stays in the scratch folder, and R_LIBS set to a library of the
# scratch folder's, so that `R CMD INSTALL` installs there and the R blocks
# load what it installed; nothing in them is rewritten. MAKEFLAGS, unless
# set, lets `R CMD INSTALL` compile on every core, as a reader may too.
#
# Usage: scripts/readme-check.sh [SCRATCH-FOLDER]
#   default ${RILL_BUILD_ROOT:-build}/readme-check. The copy is refreshed on
#   every run but its build folder is kept, so only the first run builds
#   from nothing. Each block may take RILL_README_BLOCK_SECONDS (default 900).
set -euo pipefail
case ${1:-} in -h | --help) sed -n '2,/^[^#]/{/^#/s/^# \{0,1\}//p}' "$0"; exit 0 ;; esac
root=$(cd "$(dirname "$0")/.." && pwd)
scratch=$(realpath -m "${1:-${RILL_BUILD_ROOT:-$root/build}/readme-check}")
seconds=${RILL_README_BLOCK_SECONDS:-900}
export MAKEFLAGS=${MAKEFLAGS:--j$(nproc 2>/dev/null || echo 2)}
shared=$(realpath -m "$root/../shared")
[[ -d $shared ]] || { echo "readme-check: no shared data at $shared" >&2; exit 1; }

# The copy: every file git knows or would add, with its time stamp, so that
# the kept build folder rebuilds only what changed.
copy=$scratch/repo
mkdir -p "$copy"
find "$copy" -mindepth 1 -maxdepth 1 ! -name build -exec rm -rf {} +
(cd "$root" && git ls-files -co --exclude-standard -z | grep -zv '^build/' | tar --null -T - -cf -) |
  (cd "$copy" && tar -xpf -)
ln -sfn "$shared" "$scratch/shared"
mkdir -p "$scratch/blocks"
rm -f "$scratch/blocks"/*

# Cuts the ```sh and ```r blocks out of a Markdown file into block files
# (NNN.sh, NNN.R); prints one
# line per block: its file name, where it starts, and the reason it is not
# run (empty when it is).
extract() {
  awk -v out="$scratch/blocks" -v name="$1" -v first="$2" '
    function flush() { close(file) }
    !inside && /^```(sh|r)[[:space:]]*$/ {
      inside = 1; n++; file = sprintf("%s/%03d.%s", out, first + n, $0 ~ /^```r/ ? "R" : "sh")
      printf "" > file
      printf "%s\t%s:%d\t%s\n", file, name, NR, skip
      next
    }
    inside && /^```[[:space:]]*$/ { inside = 0; flush(); skip = ""; next }
    inside { print > file; next }
    /^<!-- not run: .* -->[[:space:]]*$/ { skip = $0; sub(/^<!-- not run: /, "", skip); sub(/ -->[[:space:]]*$/, "", skip); next }
    NF { skip = "" }
  ' "$copy/$1"
}

pages=(README.md)
for page in "$copy"/docs/*.md; do [[ -e $page ]] && pages+=("docs/${page##*/}"); done
pages+=(examples/README.md)
blocks=$(for i in "${!pages[@]}"; do extract "${pages[$i]}" $((i * 100)); done)
# Temporary folders of the blocks, and no byte code written beside a source.
tmp=$scratch/tmp
rm -rf "$tmp"
mkdir -p "$tmp"
mkdir -p "$scratch/r-lib"
export TMPDIR=$tmp PYTHONDONTWRITEBYTECODE=1 R_LIBS=$scratch/r-lib
failures=0
run=0
while IFS=$'\t' read -r file where reason; do
  if [[ -n $reason ]]; then
    echo "skip $where: $reason"
    continue
  fi
  run=$((run + 1))
  started=$(date +%s)
  status=0
  run_block=(bash -euo pipefail)
  [[ $file == *.R ]] && run_block=(Rscript)
  (cd "$copy" && timeout "$seconds" "${run_block[@]}" "$file") >"$file.log" 2>&1 || status=$?
  took=$(($(date +%s) - started))
  if ((status == 0)); then
    echo "ok   $where (${took} s)"
  else
    echo "FAIL $where: exit status $status after ${took} s; its output:"
    sed 's/^/       /' "$file.log" | tail -20
    failures=$((failures + 1))
  fi
done <<<"$blocks"
echo "$run README blocks run, $failures failed"
((failures == 0))
