#!/usr/bin/env bash
# Remakes the user guide's pictures in docs/guide from the real windows on the offscreen
# platform (Release build), and the animated "fala1" preview where the build has lumora-cli.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release
cmake --build build/release --target guide-pictures
