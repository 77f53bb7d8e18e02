#!/usr/bin/env bash
# Fails when a C++ file differs from what clang-format makes of it.
set -euo pipefail
cd "$(dirname "$0")/.."
files=$(git ls-files '*.cpp' '*.h')
[ -z "$files" ] && exit 0
bad=$(for f in $files; do clang-format --style=file "$f" | cmp -s - "$f" || echo "$f"; done)
if [ -n "$bad" ]; then
  echo "These files are not clang-formatted (run scripts/format.sh):"
  echo "$bad"
  exit 1
fi
