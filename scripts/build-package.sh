#!/usr/bin/env bash
# Installs what is missing, builds Lumora (Release) and makes its Debian package in
# build/package.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release
cmake --build build/release --target lumora lumora-cli lumora_install_files
cpack -G DEB -B build/package --config build/release/CPackConfig.cmake
ls build/package/lumora_*.deb
