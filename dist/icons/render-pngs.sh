#!/usr/bin/env bash
# Renders the PNG sizes of the icon from vantrel-assistant.svg. The PNGs are
# kept in the repository, so building needs no SVG renderer; run this after
# changing the SVG (needs rsvg-convert, Debian package librsvg2-bin).
set -euo pipefail
cd "$(dirname "$0")"
for size in 16 22 24 32 48 64 128 256; do
  rsvg-convert -w "$size" -h "$size" vantrel-assistant.svg -o "vantrel-assistant-$size.png"
done
