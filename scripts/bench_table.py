#!/usr/bin/env python3
"""Formats the JSON output of the benchmark programs as one markdown table.

    scripts/bench_table.py --load "1.2 0.9 0.7" --compiler /usr/bin/c++ RESULT.json...

Each benchmark NAME/ARGS is set beside its twin NAME_Platform/ARGS, which makes the same platform
calls without our own work; the row shows both times (CPU time per iteration, the median of the
repetitions when there were several) and their ratio. The case and the baseline are described by
the benchmarks' own labels. Python 3 standard library only.
"""

import argparse
import json
import os
import platform
import subprocess
import sys

PLATFORM_SUFFIX = "_Platform"
# A coefficient of variation between repetitions above this is shown beside the time.
NOISY = 0.1
NANOSECONDS = {"ns": 1.0, "us": 1e3, "ms": 1e6, "s": 1e9}


def split_name(run_name):
    """("BM_Plan", "/200/300") for "BM_Plan/200/300"."""
    base, slash, rest = run_name.partition("/")
    return base, slash + rest


def pick_runs(benchmarks):
    """Each benchmark's entry: its median when repetitions were aggregated, else its first run."""
    runs = {}
    for entry in benchmarks:
        if entry.get("run_type") != "aggregate":
            runs.setdefault(entry.get("run_name", entry["name"]), entry)
    spread = {}
    for entry in benchmarks:
        if entry.get("run_type") != "aggregate":
            continue
        if entry.get("aggregate_name") == "median":
            runs[entry["run_name"]] = dict(entry)
        elif entry.get("aggregate_name") == "cv":
            spread[entry["run_name"]] = entry["cpu_time"]
    for name, cv in spread.items():
        if name in runs:
            runs[name]["spread"] = cv
    return runs


def nanoseconds(entry):
    return entry["cpu_time"] * NANOSECONDS[entry.get("time_unit", "ns")]


def duration(ns):
    for unit, scale in (("s", 1e9), ("ms", 1e6), ("µs", 1e3)):
        if ns >= scale:
            return f"{ns / scale:.3g} {unit}"
    return f"{ns:.3g} ns"


def time_of(entry):
    """The time, with the spread between repetitions when it is wide enough to matter."""
    text = duration(nanoseconds(entry))
    spread = entry.get("spread", 0)
    return text + f" ±{spread * 100:.0f}%" if spread > NOISY else text


def failed(entry):
    return entry.get("error_occurred") or entry.get("skipped")


def rows(results):
    """(case, ours, baseline description, baseline, ratio) for every benchmark that has no suffix."""
    for path in results:
        with open(path, encoding="utf-8") as file:
            data = json.load(file)
        runs = pick_runs(data.get("benchmarks", []))
        # In the order the program registers them: repetitions may have run interleaved.
        position = {}
        for entry in data.get("benchmarks", []):
            key = (entry.get("family_index", 0), entry.get("per_family_instance_index", 0))
            position.setdefault(entry.get("run_name", entry["name"]), key)
        order = sorted(position, key=lambda name: position[name])
        for name in order:
            base, args = split_name(name)
            if base.endswith(PLATFORM_SUFFIX):
                continue
            ours = runs[name]
            twin = runs.get(base + PLATFORM_SUFFIX + args)
            case = ours.get("label") or name
            if failed(ours):
                yield case, "failed: " + ours.get("error_message", "?"), "", "", ""
                continue
            if twin is None:
                yield case, time_of(ours), "(none)", "", ""
                continue
            if failed(twin):
                yield case, time_of(ours), twin.get("label", ""), "failed: " + twin.get("error_message", "?"), ""
                continue
            ratio = nanoseconds(ours) / nanoseconds(twin)
            yield case, time_of(ours), twin.get("label", ""), time_of(twin), f"{ratio:.2f}"


def read_first(path, key, separator=":"):
    try:
        with open(path, encoding="utf-8") as file:
            for line in file:
                name, sep, value = line.partition(separator)
                if sep and name.strip() == key:
                    return value.strip().strip('"')
    except OSError:
        pass
    return None


def compiler_version(compiler):
    if not compiler:
        return "unknown compiler"
    try:
        out = subprocess.run([compiler, "--version"], capture_output=True, text=True, check=False).stdout
        return out.splitlines()[0] if out else compiler
    except OSError:
        return compiler


def machine_line(load, compiler, library):
    cpu = read_first("/proc/cpuinfo", "model name") or platform.processor() or platform.machine()
    memory = read_first("/proc/meminfo", "MemTotal")
    memory = f"{int(memory.split()[0]) / 1024 / 1024:.1f} GiB" if memory else "unknown memory"
    system = read_first("/etc/os-release", "PRETTY_NAME", "=") or platform.platform()
    parts = [
        f"{cpu}, {os.cpu_count()} cores",
        f"{memory} memory",
        f"{system} ({platform.machine()}, Linux {platform.release()})",
        compiler_version(compiler),
        f"Google Benchmark {library}" if library else None,
        f"load average at start {load}" if load else None,
    ]
    return "Machine: " + "; ".join(p for p in parts if p) + "."


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--load", help="the load average when the run started")
    parser.add_argument("--compiler", help="the C++ compiler the benchmarks were built with")
    parser.add_argument("--library", help="the Google Benchmark version")
    parser.add_argument("--repetitions", type=int, default=1)
    parser.add_argument("results", nargs="+", help="JSON files written with --benchmark_out")
    args = parser.parse_args()

    lines = [
        "| case | ours | platform calls alone | platform | ours / platform |",
        "|---|---:|---|---:|---:|",
    ]
    for row in rows(args.results):
        lines.append("| " + " | ".join(row) + " |")
    print(machine_line(args.load, args.compiler, args.library))
    statistic = f"median of {args.repetitions} runs" if args.repetitions > 1 else "one run"
    print(f"CPU time per iteration ({statistic}; ±N% where runs spread by more than {NOISY * 100:.0f}%).")
    print()
    print("\n".join(lines))
    return 0


if __name__ == "__main__":
    sys.exit(main())
