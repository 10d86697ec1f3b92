#!/usr/bin/env bash
# Renders the application icon into the PNG sizes of the hicolor theme and
# into resources/icons/callvista.ico for Windows. Run it after changing
# resources/icons/callvista.svg and commit what it made; the build only
# copies them.
# Needs rsvg-convert (package librsvg2-bin) and python3.
set -euo pipefail

cd "$(dirname "$0")/.."
id=org.callvista.Callvista
for size in 16 32 48 64 128 256; do
  dir=resources/icons/hicolor/${size}x${size}/apps
  mkdir -p "$dir"
  rsvg-convert --width "$size" --height "$size" --keep-aspect-ratio \
    --output "$dir/$id.png" resources/icons/callvista.svg
done

# The Windows icon holds the same pictures, each stored as PNG, which every
# Windows since Vista reads from an .ico file.
python3 - "$id" <<'PY'
import struct, sys
app_id = sys.argv[1]
sizes = [16, 32, 48, 64, 128, 256]
images = [open(f"resources/icons/hicolor/{s}x{s}/apps/{app_id}.png", "rb").read() for s in sizes]
header = struct.pack("<HHH", 0, 1, len(images))
offset = len(header) + 16 * len(images)
entries, data = b"", b""
for size, png in zip(sizes, images):
    side = 0 if size >= 256 else size
    entries += struct.pack("<BBBBHHII", side, side, 0, 0, 1, 32, len(png), offset + len(data))
    data += png
open("resources/icons/callvista.ico", "wb").write(header + entries + data)
PY
