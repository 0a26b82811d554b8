#!/usr/bin/env bash
# Every test of the Windows build under Wine: the toolkit-free suites and lumora-cli
# (test-core.sh), then the application's widget tests and the installer (test-app.sh).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
"$here/test-core.sh"
"$here/test-app.sh"
