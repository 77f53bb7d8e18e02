#!/usr/bin/env bash
# Builds the desktop program and starts it. Installs missing Debian packages first.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh
cmake --preset release >/dev/null
if cmake --build --preset release --target help | grep -q '^optascope:'; then
  cmake --build --preset release -j "$(nproc)" --target optascope
  exec build/release/src/app/optascope "$@"
fi
# Without Qt the desktop program is not built: the command-line tool on the bundled sample.
cmake --build --preset release -j "$(nproc)" --target optascope-cli
exec build/release/src/cli/optascope-cli info data/samples/smear.bmp
