#!/usr/bin/env bash
# Renders the PNGs of data/icons from lumora.svg, after a change to the drawing; the PNGs
# are kept in the repository, so a build needs no renderer.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh librsvg2-bin
for size in 16 32 48 64 128 256; do
  rsvg-convert -w "$size" -h "$size" data/icons/lumora.svg -o "data/icons/lumora-$size.png"
done
