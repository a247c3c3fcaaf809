#!/usr/bin/env bash
# Checks that every C++ source follows the root .clang-format; with --fix,
# rewrites them in place instead.
#
# Usage: scripts/format-check.sh [--fix]
#   --fix       rewrite every source that differs (clang-format -i) rather than fail
#   -h, --help  print this help
# Ends with status 0 when every source follows the format.
set -euo pipefail
case ${1:-} in -h | --help) sed -n '2,/^[^#]/{/^#/s/^# \{0,1\}//p}' "$0"; exit 0 ;; esac
cd "$(dirname "$0")/.."
mode=(--dry-run -Werror)
[ "${1:-}" = --fix ] && mode=(-i)
# r/src/RcppExports.cpp is made by Rcpp::compileAttributes, as it writes it.
git ls-files -co --exclude-standard '*.cpp' '*.h' ':!r/src/RcppExports.cpp' | xargs clang-format "${mode[@]}"
echo "format check: ok"
