#!/usr/bin/env bash
# Checks that every include points down the layers, and that the programs reach
# the core through the navigation interface alone (the build refuses upward
# includes already; this names each offending line, also where no build ran).
#   text < network < navstate < mainstem < netwalk < navigation < batch < programs
# Inside rillgeo the same for its rooms:
#   rillgeo/geometry < rillgeo/import, rillgeo/index, rillgeo/map, ... < rillgeo/ (the program)
#
# Usage: scripts/layer-check.sh   (no arguments; status 1 names each offending line)
#   -h, --help  print this help
set -euo pipefail
case ${1:-} in -h | --help) sed -n '2,/^[^#]/{/^#/s/^# \{0,1\}//p}' "$0"; exit 0 ;; esac
cd "$(dirname "$0")/.."

order=(text network navstate mainstem netwalk navigation batch)
rank() {
  local i
  for i in "${!order[@]}"; do [ "${order[$i]}" = "$1" ] && { echo "$i"; return; }; done
  echo 99  # a program
}
core="text|network|navstate|mainstem|netwalk|navigation"
failed=0

# A file of rillgeo including another of rillgeo: the geometry layer sees only
# itself, a command its own room and the geometry layer, the program (the
# files directly in rillgeo/) every room.
check_room() {
  local file=$1 header=$2 mine theirs
  mine=$(sed -nE 's|^rillgeo/([a-z_]+)/.*|\1|p' <<<"$file")
  theirs=$(sed -nE 's|^rillgeo/([a-z_]+)/.*|\1|p' <<<"$header")
  [ -z "$mine" ] && return 0
  [ "$mine" = "$theirs" ] && return 0
  if [ -z "$theirs" ]; then
    echo "$file: includes $header of the rillgeo program, which is above every room"
  elif [ "$mine" = geometry ]; then
    echo "$file: includes $header, which is not below rillgeo/geometry"
  elif [ "$theirs" = geometry ]; then
    return 0
  else
    echo "$file: includes $header of another rillgeo command"
  fi
  return 1
}

for folder in "${order[@]}" navigator cli commands rillgeo python; do
  [ -d "$folder" ] || continue
  mine=$(rank "$folder")
  while IFS= read -r hit; do
    file=${hit%%:*}
    target=$(sed -E 's/.*#include "([a-z_]+)\/.*/\1/' <<<"$hit")
    header=$(sed -E 's/.*#include "([^"]+)".*/\1/' <<<"$hit")
    if [ "$target" = "$folder" ]; then
      [ "$folder" = rillgeo ] && { check_room "$file" "$header" || failed=1; }
      continue
    fi
    theirs=$(rank "$target")
    if [ "$mine" != 99 ]; then
      # A layer sees only the layers below it.
      if [ "$theirs" -ge "$mine" ]; then
        echo "$file: includes $header, which is not below $folder"
        failed=1
      fi
    elif [ "$theirs" = 99 ]; then
      # Programs are apart, but for rillmark's POSIX entry, which also runs the single run.
      if [ "$folder" != cli ] || [ "$target" != navigator ]; then
        echo "$file: includes $header of another program"
        failed=1
      fi
    elif [[ "$target" =~ ^($core)$ ]] && [ "$target" != text ] && [ "$header" != navigation/navigation.h ]; then
      # A program reaches the core through the navigation interface (text/
      # holds plain text tools every program may use).
      echo "$file: includes $header; a program reaches the core through navigation/navigation.h"
      failed=1
    fi
  done < <(grep -HE '^#include "[a-z_]+/' "$folder"/*.cpp "$folder"/*.h "$folder"/*/*.cpp "$folder"/*/*.h 2>/dev/null ||
    true)
done
[ "$failed" = 0 ] && echo "layer check: ok"
exit "$failed"
