#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test: the Release build
# with the widget tests, then the toolkit-free tests under ASan+UBSan and under TSan.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
export QT_QPA_PLATFORM=offscreen
jobs=$(nproc)

cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release
cmake --build build/release
ctest --test-dir build/release --output-on-failure -j "$jobs"

for sanitizer in address thread; do
  cmake -S . -B "build/$sanitizer" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DLUMORA_WITH_QT=OFF -DLUMORA_SANITIZE="$sanitizer"
  cmake --build "build/$sanitizer"
  ctest --test-dir "build/$sanitizer" --output-on-failure -j "$jobs"
done
