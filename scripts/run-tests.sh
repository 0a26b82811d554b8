#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test: the Release build with the
# widget tests, then its programs on an emulated USB chip in QEMU guests, then, under ASan+UBSan
# and under TSan, the toolkit-free tests and the programming window's widget tests; then the
# Windows build and its tests under Wine. A sanitizer tree builds only what its tests run.
set -euo pipefail
cd "$(dirname "$0")/.."
# Each stage's time, for the README's table of them.
stage_start=$SECONDS
stage_done() {
  echo "run-tests: $1 took $((SECONDS - stage_start)) s" >&2
  stage_start=$SECONDS
}
scripts/install-deps.sh
stage_done "packages"
scripts/check-format.sh
export QT_QPA_PLATFORM=offscreen

cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release
cmake --build build/release
stage_done "the Release build"
scripts/run-ctest.sh build/release
stage_done "the Release tests"
scripts/guest/run-tests.sh build/release
stage_done "the emulated-chip guests"

# The programming window's widget tests run with ticks delivered from a thread of their own.
# Debian's Qt is not built for TSan: the window marks the hand-off of each task it posts to the
# user-interface thread for it, and the test's suppressions cover only Qt's hand-offs between its own
# threads (tests/app/tsan_qt.supp).
for sanitizer in address thread; do
  cmake -S . -B "build/$sanitizer" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DLUMORA_WITH_QT=ON -DLUMORA_SANITIZE="$sanitizer"
  cmake --build "build/$sanitizer"
  scripts/run-ctest.sh "build/$sanitizer"
  stage_done "the $sanitizer sanitizer's build and tests"
done

# The Windows build, cross-compiled, and its tests under Wine.
scripts/windows/run-tests.sh build/release/src/cli/lumora-cli
stage_done "the Windows build and its tests"
