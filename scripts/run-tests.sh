#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test: the Release build
# with the widget tests, then the toolkit-free tests under ASan+UBSan and under TSan, and
# the programming window's widget tests under both as well.
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

# The programming window's widget tests under ASan+UBSan and under TSan, ticks delivered from
# a thread of their own, building only what they need. Debian's Qt is not built for TSan: the
# window marks the hand-off of each task it posts to the user-interface thread for it, and the
# test's suppressions cover only Qt's hand-offs between its own threads (tests/app/tsan_qt.supp).
for sanitizer in address thread; do
  cmake -S . -B "build/$sanitizer-qt" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DLUMORA_SANITIZE="$sanitizer"
  cmake --build "build/$sanitizer-qt" --target form2_test
  ctest --test-dir "build/$sanitizer-qt" --output-on-failure -R '^form2_test$'
done
