#!/usr/bin/env bash
# Renders the application icon into the PNG sizes of the hicolor theme.
# Run it after changing resources/icons/callvista.svg and commit the PNGs;
# the build only copies them. Needs rsvg-convert (package librsvg2-bin).
set -euo pipefail

cd "$(dirname "$0")/.."
id=org.callvista.Callvista
for size in 16 32 48 64 128 256; do
  dir=resources/icons/hicolor/${size}x${size}/apps
  mkdir -p "$dir"
  rsvg-convert --width "$size" --height "$size" --keep-aspect-ratio \
    --output "$dir/$id.png" resources/icons/callvista.svg
done
