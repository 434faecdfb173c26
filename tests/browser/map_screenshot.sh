#!/usr/bin/env bash
# The map in a real browser: the "us" map of the sample hour rendered by headless
# Chromium (tools/render_map.sh), which must also read the document as XML without
# a parser error; then the picture is checked (map_png_check: its size, the Gulf
# coast, Denver's station model at its projected place).
#
#   map_screenshot.sh SFCPARSE MAP_PNG_CHECK
#
# Exit status 77 (a skipped test) when Chromium is not installed.
set -u
sfc=$(realpath "$1")
check=$(realpath "$2")
root=$(cd "$(dirname "$0")/../.." && pwd)
browser=$(command -v chromium || command -v chromium-browser || true)
if [ -z "$browser" ]; then
  echo "chromium is not installed: skipped"
  exit 77
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$root"  # zyp.cfg here makes share/ the data and file path
"$sfc" -id all -pa psvg -re us 20010600 >"$work/us.svg" || { echo "sfcparse failed"; exit 1; }

# The browser's XML parser: an error shows as a "parsererror" element.
timeout 120 "$browser" --headless --no-sandbox --disable-gpu --disable-quic --no-first-run \
  --disable-background-networking --disable-component-update --disable-sync \
  --user-data-dir="$work/profile" --dump-dom "file://$work/us.svg" >"$work/dom" 2>"$work/log"
if grep -q parsererror "$work/dom" || ! grep -q '^<svg ' "$work/dom"; then
  echo "the browser does not read the map as XML:"
  head -c 2000 "$work/dom"
  exit 1
fi
echo "ok: the browser reads the document as XML"

bash "$root/tools/render_map.sh" "$work/us.svg" "$work/us.png" || { echo "no picture"; exit 1; }
"$check" "$work/us.png" "$work/us.svg"
