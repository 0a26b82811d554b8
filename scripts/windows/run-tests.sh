#!/usr/bin/env bash
# Every test of the Windows build under Wine, on a virtual X display: builds Lumora for Windows
# with its installer (build-windows.sh), then every test program of the Windows tree (the
# toolkit-free suites, and the widget tests on the offscreen platform), compares lumora-cli.exe
# with the Linux build's lumora-cli (test-cli.sh), and tests the installer (test-installer.sh).
#   run-tests.sh LINUX_CLI   the Linux build's lumora-cli
set -euo pipefail
[ $# -eq 1 ] || { echo "usage: run-tests.sh LINUX_CLI" >&2; exit 2; }
linux_cli=$(realpath "$1")
cd "$(dirname "$0")/../.."
scripts/install-deps.sh wine wine64 fonts-wine fonts-dejavu-core xvfb xauth xdotool imagemagick python3 locales
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$@"
fi
setup=$(scripts/build-windows.sh | tail -n1)
cmake --build build/windows
scripts/run-ctest.sh build/windows
cache=$(scripts/windows/build-deps.sh | tail -n1)
scripts/windows/test-cli.sh "$linux_cli" build/windows/src/cli/lumora-cli.exe "$cache/qt"
scripts/windows/test-installer.sh "$setup"
