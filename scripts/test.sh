#!/usr/bin/env bash
# Runs every test: the format check, native, sanitizers, the fuzzers over their seeds, MinGW
# x64 under Wine and MinGW x86 under 32-bit Wine.
set -uo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh || exit 1

failed=()
step() {
  local name=$1; shift
  echo "==== $name"
  "$@" || failed+=("$name")
}

step "format" scripts/check-format.sh
step "mingw-x86 build" bash -c 'cmake --preset mingw-x86 >/dev/null && cmake --build --preset mingw-x86'
step "native build" bash -c 'cmake --preset native >/dev/null && cmake --build --preset native'
step "native tests" ctest --preset native
step "sanitize build" bash -c 'cmake --preset sanitize >/dev/null && cmake --build --preset sanitize'
step "sanitize tests" ctest --preset sanitize
step "fuzz build" bash -c 'cmake --preset fuzz >/dev/null && cmake --build --preset fuzz'
step "fuzz seeds" scripts/replay-fuzz-seeds.sh
step "mingw-x64 build" bash -c 'cmake --preset mingw-x64 >/dev/null && cmake --build --preset mingw-x64'
step "mingw-x64 tests (Wine)" ctest --preset mingw-x64
step "mingw-x86 tests (32-bit Wine)" ctest --preset mingw-x86

if [ ${#failed[@]} -gt 0 ]; then
  echo "FAILED: ${failed[*]}"
  exit 1
fi
