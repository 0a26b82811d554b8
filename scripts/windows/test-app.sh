#!/usr/bin/env bash
# The Windows build of the application under Wine, on a virtual X display: builds it with its
# installer (scripts/build-windows.sh), runs the widget tests (the Qt Test programs, named
# *_test, cross-compiled) on the offscreen platform, then tests the installer
# (test-installer.sh).
set -euo pipefail
cd "$(dirname "$0")/../.."
scripts/install-deps.sh wine wine64 fonts-wine xvfb xauth xdotool imagemagick
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$@"
fi
setup=$(scripts/build-windows.sh | tail -n1)

mapfile -t tests < <(ctest --test-dir build/windows -N -R '_test$' | sed -n 's/^ *Test *#[0-9]*: //p')
[ ${#tests[@]} -gt 0 ] || { echo "test-app: no widget tests in build/windows" >&2; exit 1; }
cmake --build build/windows --target "${tests[@]}"
ctest --test-dir build/windows --output-on-failure -j "$(nproc)" -R '_test$'

scripts/windows/test-installer.sh "$setup"
