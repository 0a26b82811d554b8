#!/usr/bin/env bash
# Installs what is missing, builds Lumora (Release) and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release
cmake --build build/release --target lumora
exec build/release/src/app/lumora "$@"
