#!/usr/bin/env python3
"""Turns a JSON run of cin_table_benchmark (with --benchmark_repetitions) into the table
goals as ratios, one block per table. Figures are the median of the repetitions.

  benchmarks/goal_table.py RESULTS.json
"""
import json
import sys
from collections import defaultdict


def main(path):
    with open(path, encoding="utf-8") as source:
        run = json.load(source)
    figures = {}
    for bench in run["benchmarks"]:
        if bench.get("run_type") == "aggregate" and bench.get("aggregate_name") != "median":
            continue
        name = bench["run_name"]
        if name in figures and bench.get("run_type") != "aggregate":
            continue  # a single repetition: the aggregate, when present, replaces it
        figures[name] = bench

    def ms(name):
        bench = figures.get(name)
        if bench is None:
            return None
        scale = {"ns": 1e-6, "us": 1e-3, "ms": 1.0, "s": 1e3}[bench["time_unit"]]
        return bench["real_time"] * scale

    tables = []
    for name in figures:
        if name.startswith("Load/"):
            tables.append(name[len("Load/"):])
    failed = 0

    def row(measure, figure, goal, ok):
        nonlocal failed
        failed += 0 if ok else 1
        print(f"| {measure} | {figure} | {goal} | {'met' if ok else 'MISSED'} |")

    for table in tables:
        small = "small" in table or "cangjie" in table
        print(f"\n### {table}\n")
        print("| measure | figure | goal | |\n|---|---|---|---|")
        floor, load = ms(f"ReadAndSplitFloor/{table}"), ms(f"Load/{table}")
        row("warm Load / read-and-split floor", f"{load:.2f} ms / {floor:.2f} ms = {load / floor:.2f}x",
            "within 5x", load / floor <= 5)
        memory = figures.get(f"LoadMemory/{table}/iterations:2")
        if memory:
            limit = 4 if small else 3
            row("peak heap / file size",
                f"{memory['peak_x_file']:.2f}x (kept {memory['kept_x_file']:.2f}x, "
                f"{memory['file_MB']:.2f} MB)", f"under {limit}x", memory["peak_x_file"] < limit)
        destroy = ms(f"Destroy/{table}/iterations:20")
        row("destroy", f"{destroy:.3f} ms", "under 5 ms", destroy < 5)
        exact = figures.get(f"ExactLookupEveryCode/{table}")
        per_code = ms(f"ExactLookupEveryCode/{table}") * 1e6 / exact["codes"]
        row(f"exact lookup, every code ({int(exact['codes'])}) in random order",
            f"{per_code:.0f} ns", "under 300 ns", per_code < 300)
        for name, bench in figures.items():
            prefix = f"Wildcard/{table}/"
            if not name.startswith(prefix):
                continue
            pattern = name[len(prefix):]
            results = int(bench["results"])
            time = ms(name)
            if results < 10000:
                row(f"wildcard `{pattern}` ({results} values)", f"{time:.3f} ms", "under 1 ms",
                    time < 1)
            else:
                copy = ms(f"CopyResultsFloor/{table}/{pattern}")
                row(f"wildcard `{pattern}` ({results} values) / copying them",
                    f"{time:.2f} ms / {copy:.2f} ms = {time / copy:.2f}x", "within 2x",
                    time / copy <= 2)
    print(f"\n{failed} goal(s) missed" if failed else "\nevery goal met")


if __name__ == "__main__":
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    main(sys.argv[1])
