#!/usr/bin/env bash
# Renders the windows into PNG files under Xvfb: scripts/screenshots.sh [output folder]
# Every program named *_screenshots.exe in the x64 build draws its windows and saves them
# as BMP files into the folder it is given; they are converted to PNG here.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
out=$(realpath -m "${1:-screenshots}")
mkdir -p "$out"

cmake --preset mingw-x64 >/dev/null
cmake --build --preset mingw-x64

mapfile -t programs < <(find build/mingw-x64 -name '*_screenshots.exe' | sort)
if [ ${#programs[@]} -eq 0 ]; then
  echo "screenshots: no screenshot program was built" >&2
  exit 1
fi
windows_out="Z:${out//\//\\}"
for program in "${programs[@]}"; do
  echo "screenshots: $(basename "$program")"
  cmake/run-under-wine.sh "$program" "$windows_out"
done
for bmp in "$out"/*.bmp; do
  [ -e "$bmp" ] || continue
  convert "$bmp" "${bmp%.bmp}.png" && rm -f "$bmp"
done
ls -1 "$out"/*.png
