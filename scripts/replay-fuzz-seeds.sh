#!/usr/bin/env bash
# Runs every fuzzer once over each of its seed files, on the instrumented build: the shapes
# the seeds hold go through the core with AddressSanitizer and UndefinedBehaviorSanitizer
# and the fuzzers' own checks against their plain references. No fuzzing happens here.
set -uo pipefail
cd "$(dirname "$0")/.."
status=0
for fuzzer in build/fuzz/fuzz/*_fuzzer; do
  name=$(basename "$fuzzer" _fuzzer)
  mapfile -t seeds < <(find "fuzz/corpus/$name" -type f | sort)
  if [ ${#seeds[@]} -eq 0 ]; then
    echo "fuzz seeds: none for $name" >&2
    status=1
    continue
  fi
  if "$fuzzer" "${seeds[@]}" >"build/fuzz/$name-seeds.log" 2>&1; then
    echo "fuzz seeds: $name, ${#seeds[@]} files passed"
  else
    tail -30 "build/fuzz/$name-seeds.log" >&2
    echo "fuzz seeds: $name failed on a seed (log: build/fuzz/$name-seeds.log)" >&2
    status=1
  fi
done
exit $status
