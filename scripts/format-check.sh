#!/usr/bin/env bash
# Checks that every C++ source follows the root .clang-format; with --fix,
# rewrites them in place instead.
set -euo pipefail
cd "$(dirname "$0")/.."
mode=(--dry-run -Werror)
[ "${1:-}" = --fix ] && mode=(-i)
git ls-files -co --exclude-standard '*.cpp' '*.h' | xargs clang-format "${mode[@]}"
echo "format check: ok"
