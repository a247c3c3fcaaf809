#!/usr/bin/env bash
# Builds rillmark and commands for 64-bit Windows (MinGW-w64, statically
# linked) and checks both under Wine: the md cases of commands, command lines
# quoted as callers quote a path with blanks, a folder in place of ccode.txt,
# then every end-to-end scenario of tests/scenarios/.
#
# Usage: scripts/windows-check.sh [BUILD-FOLDER [SCENARIO-FOLDER]]
#   BUILD-FOLDER     where the Windows programs are built (default ../build-win beside the repository)
#   SCENARIO-FOLDER  the scenarios run under Wine (default tests/scenarios)
#   -h, --help       print this help
# Installs g++-mingw-w64-x86-64, wine and wine64 when they are missing (root).
set -euo pipefail
case ${1:-} in -h | --help) sed -n '2,/^[^#]/{/^#/s/^# \{0,1\}//p}' "$0"; exit 0 ;; esac

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=$(realpath -m "${1:-$repo/../build-win}")
scenarios=$(realpath -m "${2:-$repo/tests/scenarios}")

now() { date +%s.%N; }
elapsed() { awk -v from="$1" -v to="$(now)" 'BEGIN { printf "%.1f s", to - from }'; }
section() { printf '\n== %s\n' "$*"; }

# --- 1. Tools ---------------------------------------------------------------
section "Tools"
started=$(now)
missing=()
command -v x86_64-w64-mingw32-g++ >/dev/null || missing+=(g++-mingw-w64-x86-64)
command -v wine >/dev/null || missing+=(wine)
[[ -x /usr/lib/wine/wine64 ]] || missing+=(wine64)
if ((${#missing[@]})); then
  echo "installing: ${missing[*]}"
  apt-get update -qq
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
    "${missing[@]}" >/dev/null
fi
echo "tools ready in $(elapsed "$started")"

# --- 2. Cross build ---------------------------------------------------------
section "Build into $build"
started=$(now)
mkdir -p "$build"
cmake -S "$repo" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$repo/cmake/mingw-w64.cmake" \
  -DRILL_TESTS=OFF -DRILL_BENCH=OFF -DRILL_GEO=OFF >"$build/configure.log" 2>&1 ||
  { cat "$build/configure.log"; exit 1; }
cmake --build "$build" --target rillmark commands -j2
launcher=$build/windows-launch.exe
x86_64-w64-mingw32-g++ -std=c++20 -O2 -static -Wall -Wextra -Werror \
  "$repo/scripts/windows-launch.cpp" -o "$launcher"
rillmark=$build/navigator/rillmark.exe
commands=$build/commands/commands.exe
echo "built in $(elapsed "$started")"

# --- 3. Wine ----------------------------------------------------------------
section "Wine prefix"
started=$(now)
export WINEPREFIX=$build/wine-prefix WINEARCH=win64 WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=" DISPLAY=
wine wineboot --init </dev/null >/dev/null 2>&1
echo "prefix ready in $(elapsed "$started")"
trap 'wineserver -k >/dev/null 2>&1 || true' EXIT

# The Windows name of an absolute path: Wine maps / to drive Z:.
to_windows() { local path=$1; printf 'Z:%s' "${path//\//\\}"; }

# Runs PROGRAM with the command line held in LINE-FILE, in FOLDER, standard
# error into ERR-FILE; sets `status`.
run_windows() {
  local program=$1 folder=$2 line_file=$3 err_file=$4
  status=0
  (cd "$folder" && timeout 120 wine "$launcher" "$(to_windows "$program")" \
    "$(to_windows "$line_file")" </dev/null >/dev/null 2>"$err_file") || status=$?
}

# Expected text as the Windows build writes it: {WORK} filled in, and every
# line feed written in text mode as CR LF.
windows_text() { W=$2 perl -0777 -pe 's/\{WORK\}/$ENV{W}/g; s/\n/\r\n/g' "$1"; }

failures=0
fail() { printf 'FAIL %s\n' "$*"; failures=$((failures + 1)); }

# --- 4. commands ------------------------------------------------------------
section "commands: md"
started=$(now)
md_root=$(mktemp -d "${TMPDIR:-/tmp}/rill-win-md-XXXXXX")
md_work=$md_root/work
mkdir "$md_work"
md_win="$(to_windows "$md_work")\\"

# md_case NAME LINE STDERR-LINES EXPECTED-ENTRIES...: runs one command line
# ({W} is the work folder with its trailing \) and checks that the exit status
# is 0, standard error has that many lines and the work folder holds exactly
# the expected entries afterwards.
md_case() {
  local name=$1 line=$2 lines=$3
  shift 3
  printf '%s' "${line//\{W\}/$md_win}" >"$md_root/line"
  run_windows "$commands" "$md_work" "$md_root/line" "$md_root/stderr"
  local got_lines expected actual
  got_lines=$(tr -cd '\n' <"$md_root/stderr" | wc -c)
  expected=$(printf '%s\n' "$@" | sed '/^$/d' | LC_ALL=C sort)
  actual=$(cd "$md_work" && find . -mindepth 1 | sed 's|^\./||' | LC_ALL=C sort)
  if [[ $status != 0 ]]; then
    fail "$name: exit status $status"
  elif [[ $got_lines != "$lines" ]]; then
    fail "$name: $got_lines lines on standard error, expected $lines: $(cat -v "$md_root/stderr")"
  elif [[ $actual != "$expected" ]]; then
    fail "$name: folder holds [$(echo $actual)], expected [$(echo $expected)]"
  else
    echo "ok   $name"
  fi
}

long_tail=$(printf 'x%.0s' $(seq 1 5000))
md_case "creates one level" 'md,{W}job1' 0 job1
md_case "existing folder" 'md,{W}job1' 1 job1
md_case "missing parent" 'md,{W}missing\job1' 1 job1
md_case "leading comma" ',md,{W}job2' 0 job1 job2
md_case "empty field" 'md,,{W}job3' 0 job1 job2 job3
md_case "path ends at comma" 'md,{W}a,b' 0 job1 job2 job3 a
md_case "blank in path" 'md,{W}my folder' 0 job1 job2 job3 a 'my folder'
md_case "upper case MD" 'MD,{W}job4' 0 job1 job2 job3 a 'my folder'
md_case "rd" 'rd,{W}job1' 0 job1 job2 job3 a 'my folder'
md_case "no argument" '' 0 job1 job2 job3 a 'my folder'
md_case "md alone" 'md' 0 job1 job2 job3 a 'my folder'
line="md,{W}long,$long_tail"
md_case "5000 characters" "${line:0:$((5000 - ${#md_win} + 3))}" 0 \
  job1 job2 job3 a 'my folder' long
rm -rf "$md_root"
echo "commands checked in $(elapsed "$started")"

# --- 5. Quoted command lines and a folder in place of ccode.txt ----------------
section "Quoted command lines"
started=$(now)
q_root=$(mktemp -d "${TMPDIR:-/tmp}/rill-win-quoted-XXXXXX")
q_work="$q_root/work with blank"
mkdir "$q_work"
q_win="$(to_windows "$q_work")\\"
q_scenario=$repo/tests/scenarios/point_down
cp "$q_scenario"/{rchdata,flowdata,secdata}.txt "$q_work/"
q_line=$(W=$q_win perl -0777 -pe 's/\r?\n\z//; s/\{WORK\}/$ENV{W}/g' "$q_scenario/cmdline")

# Runs LINE in the work folder; its outputs are kept under NAME.
q_run() {
  local name=$1 line=$2
  printf '%s' "$line" >"$q_root/line"
  run_windows "$rillmark" "$q_work" "$q_root/line" "$q_root/stderr"
  mkdir "$q_root/$name"
  mv "$q_work"/{out.csv,ccode.txt,message.out} "$q_root/$name/" 2>/dev/null || true
}
# As Python's subprocess.list2cmdline quotes one argument holding blanks.
q_run raw "$q_line"
raw_status=$status
q_run quoted "\"$q_line\""
if [[ $raw_status != 0 || $status != 0 ]]; then
  fail "navigation with a blank in WorkPath: exit status $raw_status raw, $status quoted"
else
  q_ok=1
  for f in out.csv ccode.txt; do
    windows_text "$q_scenario/expected/$f" "$q_win" >"$q_root/expected-$f"
    for form in raw quoted; do
      cmp -s "$q_root/expected-$f" "$q_root/$form/$f" || { fail "$form line: $f differs"; q_ok=0; }
    done
  done
  cmp -s "$q_root/raw/message.out" "$q_root/quoted/message.out" ||
    { fail "quoted line: message.out differs from the raw line's"; q_ok=0; }
  ((q_ok)) && echo "ok   navigation with a blank in WorkPath, raw and quoted"
fi

# md of a folder whose path holds blanks, raw and quoted.
printf '%s' "md,${q_win}new folder" >"$q_root/line"
run_windows "$commands" "$q_work" "$q_root/line" "$q_root/stderr"
printf '%s' "\"md,${q_win}other folder\"" >"$q_root/line"
run_windows "$commands" "$q_work" "$q_root/line" "$q_root/stderr2"
if [[ -d "$q_work/new folder" && -d "$q_work/other folder" ]]; then
  echo "ok   md of a path with blanks, raw and quoted"
else
  fail "md of a path with blanks: $(ls "$q_work" | tr '\n' ' ')"
fi

# An empty folder where ccode.txt goes stays and the status counts as lost.
for prefix in ./ run1_; do
  name=${prefix#./}ccode.txt
  for t in rchdata flowdata secdata; do cp "$q_scenario/$t.txt" "$q_work/${prefix#./}$t.txt"; done
  mkdir "$q_work/$name"
  printf '%s' "${q_line/,.\/,/,$prefix,}" >"$q_root/line"
  run_windows "$rillmark" "$q_work" "$q_root/line" "$q_root/stderr"
  if [[ $status == 3 && -d "$q_work/$name" ]] && grep -qF "could not be written" "$q_root/stderr"; then
    echo "ok   a folder in place of $name stays, status 3"
  else
    fail "a folder in place of $name: exit status $status, $(ls "$q_work" | tr '\n' ' ')"
  fi
done
rm -rf "$q_root"
echo "quoted lines checked in $(elapsed "$started")"

# --- 6. rillmark scenarios --------------------------------------------------
section "rillmark: scenarios"
started=$(now)

run_scenario() {
  local folder=$1 name
  name=$(basename "$folder")
  local scratch work
  scratch=$(mktemp -d "${TMPDIR:-/tmp}/rill-win-$name-XXXXXX")
  work=$scratch/work
  mkdir "$work"
  local entry
  for entry in "$folder"/* "$folder"/.[!.]*; do
    [[ -e $entry ]] || continue
    case $(basename "$entry") in cmdline | expected | README.md) continue ;; esac
    cp -a "$entry" "$work/"
  done
  (cd "$work" && find . -type f -print0 | LC_ALL=C sort -z | xargs -0 -r sha256sum) \
    >"$scratch/inputs.sha"

  local win
  win="$(to_windows "$work")\\"
  W=$win perl -0777 -pe 's/\r?\n\z//; s/\{WORK\}/$ENV{W}/g' "$folder/cmdline" >"$scratch/line"
  run_windows "$rillmark" "$work" "$scratch/line" "$scratch/stderr"

  local problems=()
  local want
  want=$(tr -d ' \r\n' <"$folder/expected/exit_status")
  [[ $status == "$want" ]] || problems+=("exit status $status, expected $want")

  if [[ -f $folder/expected/stderr_contains ]]; then
    local piece
    while IFS= read -r piece || [[ -n $piece ]]; do
      piece=${piece%$'\r'}
      [[ -n $piece ]] || continue
      piece=${piece//\{WORK\}/$win}
      grep -qF -- "$piece" "$scratch/stderr" || problems+=("standard error lacks: $piece")
    done <"$folder/expected/stderr_contains"
  fi

  local expected_files=() rel
  while IFS= read -r -d '' rel; do
    rel=${rel#./}
    case $rel in exit_status | stderr_contains) continue ;; esac
    expected_files+=("$rel")
    if [[ ! -f $work/$rel ]]; then
      problems+=("$rel was not written")
      continue
    fi
    mkdir -p "$(dirname "$scratch/expect/$rel")"
    windows_text "$folder/expected/$rel" "$win" >"$scratch/expect/$rel"
    if ! cmp -s "$scratch/expect/$rel" "$work/$rel"; then
      local first
      first=$(cmp "$scratch/expect/$rel" "$work/$rel" 2>&1 | sed 's/.*, line /line /' || true)
      problems+=("$rel differs from $first: expected [$(sed -n "${first#line }p" \
        "$scratch/expect/$rel" 2>/dev/null | cat -v)]")
    fi
  done < <(cd "$folder/expected" && find . -type f -print0 | LC_ALL=C sort -z)

  # Everything else must be an untouched input.
  local sum path
  while IFS= read -r -d '' rel; do
    rel=${rel#./}
    printf '%s\n' "${expected_files[@]}" | grep -qxF -- "$rel" && continue
    if ! grep -qF -- "  ./$rel" "$scratch/inputs.sha"; then
      problems+=("unexpected file $rel")
    fi
  done < <(cd "$work" && find . -type f -print0)
  while read -r sum path; do
    rel=${path#./}
    printf '%s\n' "${expected_files[@]}" | grep -qxF -- "$rel" && continue
    if [[ ! -f $work/$rel ]]; then
      problems+=("input $rel was removed")
    elif [[ $(sha256sum <"$work/$rel" | cut -d' ' -f1) != "$sum" ]]; then
      problems+=("input $rel was changed")
    fi
  done <"$scratch/inputs.sha"

  if ((${#problems[@]})); then
    fail "$name (kept in $scratch)"
    printf '       %s\n' "${problems[@]}"
  else
    echo "ok   $name"
    rm -rf "$scratch"
  fi
}

count=0
if [[ -d $scenarios ]]; then
  for cmdline in "$scenarios"/*/cmdline; do
    [[ -f $cmdline ]] || continue
    run_scenario "$(dirname "$cmdline")"
    count=$((count + 1))
  done
fi
echo "$count scenarios run in $(elapsed "$started")"

section "Result"
if ((failures)); then
  echo "$failures check(s) failed"
  exit 1
fi
echo "all checks passed"
