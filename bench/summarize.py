#!/usr/bin/env python3
"""Summarises Google Benchmark JSON with repetitions: median, min and max time per benchmark.

Usage: mascot-bench --benchmark_repetitions=10 --benchmark_format=json | bench/summarize.py
"""
import json
import statistics
import sys

runs = {}
for bench in json.load(sys.stdin)["benchmarks"]:
    if bench.get("run_type") != "iteration":
        continue
    per_item = bench["real_time"]
    runs.setdefault(bench["run_name"], []).append((per_item, bench["time_unit"],
                                                   bench.get("items_per_second")))
for name, samples in runs.items():
    times = [s[0] for s in samples]
    unit = samples[0][1]
    line = (f"{name:<55} median {statistics.median(times):9.1f} {unit}"
            f"  (min {min(times):.1f}, max {max(times):.1f}, n={len(times)})")
    rates = [s[2] for s in samples if s[2]]
    if rates:
        line += f"  {statistics.median(rates) / 1e6:.2f} M items/s"
    print(line)
