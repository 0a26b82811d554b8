#!/usr/bin/env bash
# Fails when a C++ file of the tree is not as clang-format (with the tree's .clang-format)
# would write it, naming each such file.
set -euo pipefail
cd "$(dirname "$0")/.."
git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format --dry-run --Werror
