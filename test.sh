#!/usr/bin/env bash
# Builds everything and runs every test: the release build, then the
# address+undefined sanitizer build. Installs missing Debian packages first.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh
jobs=$(nproc)
for preset in release asan; do
  echo "== $preset build =="
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j "$jobs"
  echo "== $preset tests =="
  ctest --preset "$preset" -j "$jobs"
done
