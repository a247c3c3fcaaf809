#!/usr/bin/env bash
# Checks that every include points down the layers, and that the programs reach
# the core through the navigation interface alone (the build refuses upward
# includes already; this names each offending line, also where no build ran).
#   text < network < navstate < mainstem < netwalk < navigation < batch < programs
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
for folder in "${order[@]}" navigator cli commands rillgeo python; do
  [ -d "$folder" ] || continue
  mine=$(rank "$folder")
  while IFS= read -r hit; do
    file=${hit%%:*}
    target=$(sed -E 's/.*#include "([a-z_]+)\/.*/\1/' <<<"$hit")
    header=$(sed -E 's/.*#include "([^"]+)".*/\1/' <<<"$hit")
    [ "$target" = "$folder" ] && continue
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
  done < <(grep -HE '^#include "[a-z_]+/' "$folder"/*.cpp "$folder"/*.h 2>/dev/null || true)
done
[ "$failed" = 0 ] && echo "layer check: ok"
exit "$failed"
