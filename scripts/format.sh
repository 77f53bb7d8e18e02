#!/usr/bin/env bash
# Applies clang-format to every tracked C++ file.
set -euo pipefail
cd "$(dirname "$0")/.."
git ls-files '*.cpp' '*.h' | xargs -r clang-format --style=file -i
