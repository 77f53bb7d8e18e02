#!/usr/bin/env bash
# Builds the program and starts it. Installs missing Debian packages first.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh
cmake --preset release >/dev/null
cmake --build --preset release -j "$(nproc)"
if [ -x build/release/src/app/optascope ]; then
  exec build/release/src/app/optascope "$@"
fi
# Until the desktop program exists: the command-line tool on the bundled sample.
exec build/release/src/cli/optascope-cli info data/samples/smear.bmp
