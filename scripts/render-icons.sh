#!/usr/bin/env bash
# Renders the PNG sizes of the program icons from their SVG drawings (packaging/icons/*.svg).
# Run after changing a drawing and commit the PNGs with it; the build only installs them.
set -euo pipefail

icons=$(cd "$(dirname "${BASH_SOURCE[0]}")/../packaging/icons" && pwd)
command -v rsvg-convert >/dev/null || { echo "rsvg-convert is missing: apt-get install librsvg2-bin" >&2; exit 1; }
for svg in "$icons"/*.svg; do
    name=$(basename "$svg" .svg)
    for size in 16 24 32 48 64 128 256; do
        mkdir -p "$icons/png/$size"
        rsvg-convert -w "$size" -h "$size" "$svg" -o "$icons/png/$size/$name.png"
    done
done
