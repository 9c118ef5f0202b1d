#!/usr/bin/env bash
# Measures every table goal in one run: the benchmark program over the generated tables
# (and the real ones converted from Rime dictionaries when rime-data-array30 and
# rime-data-cangjie5 are installed), the machine's dependent random read, then peak
# resident memory per table with /usr/bin/time -v, and fresh-process load against read
# with hyperfine when installed.
# Everything it writes stays under build/.
#   benchmarks/run_goals.sh [REPETITIONS]
set -euo pipefail
cd "$(dirname "$0")/.."
repetitions="${1:-3}"
cmake --preset bench >/dev/null
cmake --build --preset bench -j3 >/dev/null
bin=build/bench/benchmarks
out=build/bench-goals
mkdir -p "$out"

tables=()
rime=/usr/share/rime-data
if [[ -f $rime/array30_main.dict.yaml && -f $rime/cangjie5.dict.yaml ]]; then
    python3 benchmarks/rime_to_cin.py "$out/array30.cin" Array30 \
        "$rime/array30_main.dict.yaml" "$rime/array30_phrases.dict.yaml"
    python3 benchmarks/rime_to_cin.py "$out/cangjie5.cin" Cangjie5 "$rime/cangjie5.dict.yaml"
    tables+=(--table="array30_real_3.8MB=$out/array30.cin" --table="cangjie5_real_0.8MB=$out/cangjie5.cin")
else
    echo "rime-data-array30 / rime-data-cangjie5 not installed: generated tables only"
fi

"$bin/cin_table_benchmark" "${tables[@]}" --benchmark_repetitions="$repetitions" --benchmark_min_time=0.2 \
    --benchmark_report_aggregates_only=true --benchmark_format=json \
    --benchmark_out="$out/results.json" --benchmark_out_format=json >"$out/console.json"
python3 benchmarks/goal_table.py "$out/results.json"

# The floor under an exact lookup in a large table, which makes two or three such reads in
# a row: what one random read waiting on the one before costs here.
"$bin/memory_latency_benchmark" --benchmark_min_time=0.3 --benchmark_format=json 2>/dev/null |
    python3 -c '
import json, sys
runs = json.load(sys.stdin)["benchmarks"]
reads = ["{} MiB {:.0f} ns".format(run["name"].split("/")[1], run["per_read"] * 1e9) for run in runs]
print("\ndependent random read on this machine: " + ", ".join(reads))'

# Peak resident memory of a fresh process: loading, beside starting only and reading only.
files=()
for shape in small_0.8MB_chars small_0.8MB_sorted medium_3.8MB_chars medium_3.8MB_sorted \
    large_20MB_chars large_20MB_sorted long_codes_20MB_chars; do
    "$bin/load_table" --generate "$out/$shape.cin" "$shape"
    files+=("$out/$shape.cin")
done
[[ -f $out/array30.cin ]] && files+=("$out/array30.cin" "$out/cangjie5.cin")
rss() { /usr/bin/time -v "$@" 2>&1 >/dev/null | awk '/Maximum resident/ {print $6}'; }
base=$(rss "$bin/load_table")
echo
# Reading a file through the C++ streams alone costs a process more than the file's bytes
# (the library's own start-up); the last ratio leaves that part out: load - read + file.
echo "| table | file | peak RSS load - start-only | / file | read only - start-only | goal | (load - read + file) / file |"
echo "|---|---|---|---|---|---|---|"
for file in "${files[@]}"; do
    bytes=$(stat -c %s "$file")
    load=$(rss "$bin/load_table" "$file")
    read=$(rss "$bin/load_table" --read "$file")
    awk -v f="$(basename "$file")" -v b="$bytes" -v l="$load" -v r="$read" -v s="$base" 'BEGIN {
        ratio = (l - s) * 1024 / b; goal = (b < 1500000) ? 4 : 3;
        own = ((l - r) * 1024 + b) / b;
        printf "| %s | %.2f MB | %.2f MB | %.2fx | %.2f MB | under %dx: %s | %.2fx |\n", f, b / 1e6,
            (l - s) * 1024 / 1e6, ratio, (r - s) * 1024 / 1e6, goal, ratio < goal ? "met" : "MISSED", own }'
done

if command -v hyperfine >/dev/null; then
    for file in "$out/medium_3.8MB_chars.cin" "$out/array30.cin"; do
        [[ -f $file ]] || continue
        hyperfine -N --warmup 5 --runs 60 --export-json "$out/fresh-$(basename "$file").json" \
            "$bin/load_table $file" "$bin/load_table --read $file" >/dev/null
        python3 - "$out/fresh-$(basename "$file").json" <<'EOF'
import json, sys
load, read = json.load(open(sys.argv[1]))["results"]
ratio = load["mean"] / read["mean"]
print(f"fresh process {load['command'].split()[-1]}: load {load['mean'] * 1e3:.2f} ms / read "
      f"{read['mean'] * 1e3:.2f} ms = {ratio:.2f}x (goal within 3x: {'met' if ratio <= 3 else 'MISSED'})")
EOF
    done
else
    echo "hyperfine not installed: fresh-process goal not measured"
fi
