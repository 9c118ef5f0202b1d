#!/usr/bin/env bash
# Fails when a tracked C++ source does not follow .clang-format; names each such file.
set -uo pipefail
cd "$(dirname "$0")/.."
mapfile -t sources < <(git ls-files '*.cpp' '*.h')
bad=()
for f in "${sources[@]}"; do
  clang-format --dry-run --Werror "$f" >/dev/null 2>&1 || bad+=("$f")
done
if [ ${#bad[@]} -gt 0 ]; then
  printf 'not formatted (run clang-format -i): %s\n' "${bad[@]}"
  exit 1
fi
echo "format: ${#sources[@]} sources follow .clang-format"
