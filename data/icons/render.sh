#!/usr/bin/env bash
# Renders the PNG sizes of the icon from tintara.svg (needs rsvg-convert, Debian's librsvg2-bin).
# The PNGs are kept in the repository, so building never needs this.
set -euo pipefail
cd "$(dirname "$0")"
for size in 16 24 32 48 64 128 256; do
    rsvg-convert -w "$size" -h "$size" tintara.svg -o "tintara-$size.png"
done
