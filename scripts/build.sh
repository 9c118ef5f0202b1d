#!/usr/bin/env bash
# Builds the installable input method folder: dist/Mo_Input_Ka
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh

out=dist/Mo_Input_Ka
rm -rf "$out"
for preset in release-x64 release-x86; do
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
  # Installed stripped; the unstripped build stays in build/$preset for debugging.
  cmake --install "build/$preset" --prefix "$out" --strip >/dev/null
done
echo "build: installable folder $(pwd)/$out"
find "$out" -type f | sort
