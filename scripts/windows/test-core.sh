#!/usr/bin/env bash
# Builds the toolkit-free Windows tree (build/windows-core) with MinGW-w64 and runs its tests
# under Wine, in a prefix of its own inside the build folder. Exits non-zero on any failure.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
cache=$("$here/build-deps.sh" | tail -n1)
build=$root/build/windows-core
LUMORA_WINDOWS_PREFIXES="$cache/gtest;$cache/giflib" cmake -S "$root" -B "$build" -G Ninja \
  -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
  -DLUMORA_WITH_QT=OFF -DCMAKE_CROSSCOMPILING_EMULATOR=wine
cmake --build "$build" --target lumora-cli timer_tests programming_tests
# shellcheck source=wine-prefix.sh
source "$here/wine-prefix.sh" "$build"
ctest --test-dir "$build" --output-on-failure
