#!/usr/bin/env bash
# Runs every test of a build tree. The soak tests (label "soak") spend their minute waiting for
# the timer's ticks, using a few per cent of a core: they run beside the others instead of
# holding two of the processor slots, and their output follows the others'. The emulated-chip
# guests (label "guest") are a stage of their own: scripts/guest/run-tests.sh.
#   run-ctest.sh TREE
set -euo pipefail
[ $# -eq 1 ] || { echo "usage: run-ctest.sh TREE" >&2; exit 2; }
tree=$1
soak_log=$(mktemp)
trap 'rm -f "$soak_log"' EXIT
ctest --test-dir "$tree" --output-on-failure -L soak -j 2 >"$soak_log" 2>&1 &
soak=$!
status=0
ctest --test-dir "$tree" --output-on-failure -LE "soak|guest" -j "$(nproc)" || status=$?
wait "$soak" || status=$?
cat "$soak_log"
exit "$status"
