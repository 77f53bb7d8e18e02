#!/usr/bin/env bash
# Builds the desktop program and starts it. Installs missing Debian packages first.
# Without a display (or without Qt) it runs the README's first analysis on the
# bundled sample through the command-line tool instead.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh
cmake --preset release >/dev/null

first_analysis() {
  # The build's progress lines are shown only when it fails.
  if ! log=$(cmake --build --preset release -j "$(nproc)" --target optascope-cli 2>&1); then
    echo "$log"
    exit 1
  fi
  echo "The README's first analysis of data/samples/smear.bmp, through optascope-cli:"
  build/release/src/cli/optascope-cli run data/samples/smear.bmp -c TRFG -c "RBC General" \
    -c "Identify Sickel Cells" -c "Find WBCs" --save build/release/first-analysis.bmp
  echo "The marked picture: build/release/first-analysis.bmp"
}

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "run.sh: no display (DISPLAY and WAYLAND_DISPLAY are unset); start the desktop program with: xvfb-run -a -s \"-screen 0 1920x1080x24\" ./run.sh"
  first_analysis
  exit 0
fi
if cmake --build --preset release --target help | grep -q '^optascope:'; then
  cmake --build --preset release -j "$(nproc)" --target optascope
  exec build/release/src/app/optascope "$@"
fi
echo "run.sh: the desktop program needs Qt 6, which this build did not find."
first_analysis
