#!/usr/bin/env bash
# Renders a map document (SVG) to a PNG picture of the same size in headless
# Chromium (Debian's package "chromium"), as root or not.
#
#   tools/render_map.sh MAP.svg OUT.png
#   tools/render_map.sh            the README's picture: the "us" map of the sample
#                                  hour (build/sfcparse) into docs/map_us.png
#
# Exit status 77 when Chromium is not installed.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
browser=$(command -v chromium || command -v chromium-browser || true)
if [ -z "$browser" ]; then
  echo "render_map.sh: chromium is not installed" >&2
  exit 77
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
if [ $# -eq 0 ]; then
  (cd "$root" && build/sfcparse -id all -pa psvg -re us 20010600) >"$work/map.svg"
  set -- "$work/map.svg" "$root/docs/map_us.png"
  mkdir -p "$root/docs"
fi
svg=$(realpath "$1")
png=$(realpath -m "$2")

# The page size from the root element.
size=$(grep -m1 -o '<svg [^>]*' "$svg")
width=$(echo "$size" | sed -n 's/.* width="\([0-9]*\)".*/\1/p')
height=$(echo "$size" | sed -n 's/.* height="\([0-9]*\)".*/\1/p')
[ -n "$width" ] && [ -n "$height" ] || { echo "render_map.sh: no page size in $svg" >&2; exit 1; }

# A closed network: no background connections, no first-run pages, a fresh profile.
timeout 120 "$browser" --headless --no-sandbox --disable-gpu --disable-quic --no-first-run \
  --disable-background-networking --disable-component-update --disable-sync \
  --hide-scrollbars --force-device-scale-factor=1 --user-data-dir="$work/profile" \
  --window-size="$width,$height" --screenshot="$png" "file://$svg" >"$work/log" 2>&1 || {
  cat "$work/log" >&2
  exit 1
}
[ -s "$png" ] || { cat "$work/log" >&2; echo "render_map.sh: no picture" >&2; exit 1; }
