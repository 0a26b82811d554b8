#!/usr/bin/env bash
# The programmers on a real USB stack: QEMU guests with an emulated FT232 chip run the Release
# build's own lumora-cli and lumora through libftdi and the kernel's ftdi_sio (tests/guest).
# Installs QEMU, busybox and what the guests' kernel is unpacked with, then runs the guests,
# two at a time, after the fixture that makes the kernel and initramfs ready and picks KVM or
# plain emulation.
#   run-tests.sh BUILD     the Release build tree
set -euo pipefail
[ $# -eq 1 ] || { echo "usage: run-tests.sh BUILD" >&2; exit 2; }
build=$1
cd "$(dirname "$0")/../.."
scripts/install-deps.sh qemu-system-x86 busybox-static xz-utils python3
status=0
ctest --test-dir "$build" --output-on-failure -L guest -j 2 || status=$?
# Which accelerator the guests had, and why.
env_file=$build/tests/guest/guest.env
if [ -f "$env_file" ]; then
  echo "run-tests: the guests ran with $(sed -n 's/^accel=//p' "$env_file")" \
    "($(sed -n 's/^accel_reason=//p' "$env_file"))" >&2
fi
exit "$status"
