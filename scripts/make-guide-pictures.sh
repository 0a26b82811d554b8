#!/usr/bin/env bash
# Remakes the user guide's pictures in docs/guide from the real windows on the offscreen
# platform (Release build), and the animated "fala1" preview where the build has lumora-cli.
# With --windows also the picture of the main window on Windows, windows.png: the Windows
# build installed and started under Wine (scripts/windows/test-installer.sh).
#   make-guide-pictures.sh [--windows]
set -euo pipefail
cd "$(dirname "$0")/.."
if [ "${1:-}" = --windows ]; then
  setup=$(scripts/build-windows.sh | tail -n1)
  scripts/windows/test-installer.sh "$setup" --picture docs/guide/windows.png
elif [ $# -gt 0 ]; then
  echo "usage: make-guide-pictures.sh [--windows]" >&2
  exit 2
fi
scripts/install-deps.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release
cmake --build build/release --target guide-pictures
