#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test: the Release build
# with the widget tests, then the toolkit-free tests under ASan+UBSan and under TSan, and
# the programming window's widget tests under ASan+UBSan.
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

# The programming window's widget tests under ASan+UBSan, ticks delivered from a thread of
# their own, building only what they need. Not under TSan: Debian's Qt is not instrumented and
# its event queue and thread pool synchronise with futexes TSan does not see, so every event
# posted across threads is reported as a race; the posts of the toolkit-free tests run there.
cmake -S . -B build/address-qt -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLUMORA_SANITIZE=address
cmake --build build/address-qt --target form2_test
ctest --test-dir build/address-qt --output-on-failure -R '^form2_test$'
