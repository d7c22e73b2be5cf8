#!/usr/bin/env python3
"""Turns the measurements of run.sh (end-to-end, idle and micro JSON) into the results table:
printed, and written into RESULTS.md above the kept analysis section."""

import argparse
import json
import os
import statistics

MIB = 1 << 20
GIB = 1 << 30
KEPT_MARKER = "<!-- Everything below this line is kept when run.sh rewrites the file. -->"
# Peak RSS limits per kind: TLS transfers also hold libssl, libcrypto and their buffers.
RSS_LIMITS_MIB = {"upload": 12, "download": 12, "upload-tls": 16, "download-tls": 16}
IDLE_LIMIT_PERCENT = 1.0
# (kind, tool): the least throughput relative to curl that the goals ask for, at 100 MiB and
# more; a 1 MiB transfer is mostly start-up and is held to the older, lower marks.
THROUGHPUT_GOALS = {("upload", "veldrask-65536"): 1.3, ("upload", "veldrask-8192"): 1.0,
                    ("download", "veldrask"): 1.2, ("upload-tls", "veldrask-65536"): 0.9,
                    ("upload-tls", "veldrask-8192"): 0.9, ("download-tls", "veldrask"): 0.9}
SMALL_GOALS = {("upload", "veldrask-65536"): 1.0, ("upload", "veldrask-8192"): 0.7,
               ("download", "veldrask"): 1.0}
# The physical limit of each kind (bench/raw): its time is the yardstick of the × raw column.
RAW_TOOLS = {"upload": "raw-sendfile", "download": "raw-recv"}
# (kind, tool): the most time relative to the raw transfer's that the goals allow.
RAW_TIME_GOALS = {("upload", "veldrask-65536"): 1.5}
# Tools whose CPU per GiB may not exceed curl's.
CPU_GOALS = {("upload", "veldrask-8192")}


def median(values):
    return statistics.median(values) if values else float("nan")


def summarize(transfer):
    """One row per tool: median MB/s, the median of per-round ratios to curl, median CPU
    seconds per GiB and the largest peak RSS."""
    size = transfer["size"]
    samples = transfer["samples"]
    rates = {tool: [size / s["wall"] / 1e6 for s in runs] for tool, runs in samples.items()}
    raw = RAW_TOOLS.get(transfer["kind"])
    rows = []
    for tool, runs in samples.items():
        ratios = [mine / theirs for mine, theirs in zip(rates[tool], rates["curl"])]
        raw_times = [s["wall"] / r["wall"] for s, r in zip(runs, samples.get(raw, []))]
        rows.append({
            "kind": transfer["kind"], "size_label": transfer["size_label"], "size": size,
            "tool": tool, "runs": len(runs), "mbps": median(rates[tool]),
            "ratio": median(ratios), "ratios": ratios, "raw_time": median(raw_times),
            "cpu_per_gib": median([(s["user"] + s["sys"]) / (size / GIB) for s in runs]),
            "rss_mib": max(s["maxrss_kib"] for s in runs) / 1024,
        })
    return rows


def transfer_table(rows):
    lines = ["| Transfer | Size | Client | MB/s | × curl | × curl, rounds | time × raw | "
             "CPU s/GiB | Peak RSS MiB | Runs |",
             "|---|---|---|---:|---:|---:|---:|---:|---:|---:|"]
    for r in rows:
        spread = f"{min(r['ratios']):.2f}–{max(r['ratios']):.2f}" if r["ratios"] else ""
        lines.append(f"| {r['kind']} | {r['size_label']} | {r['tool']} | {r['mbps']:.0f} | "
                     f"{r['ratio']:.2f} | {spread} | {r['raw_time']:.2f} | "
                     f"{r['cpu_per_gib']:.2f} | {r['rss_mib']:.1f} | {r['runs']} |")
    return lines


def idle_table(cases):
    names = {"send": "upload, server reads nothing",
             "reply": "upload sent, server never answers",
             "body": "download, body stops after 64 KiB"}
    lines = ["| Stalled transfer (veldrask) | Window s | CPU s in window | % of a core | "
             "Lifetime CPU s | VmHWM MiB |", "|---|---:|---:|---:|---:|---:|"]
    for c in cases:
        lines.append(f"| {names.get(c['mode'], c['mode'])} | {c['window_s']:.1f} | "
                     f"{c['cpu_s']:.4f} | {c['core_percent']:.3f} | {c['lifetime_cpu_s']:.3f} | "
                     f"{c['peak_rss_kib'] / 1024:.1f} |")
    return lines


def micro_table(micro):
    lines = ["| Micro benchmark | Wall per iteration | CPU per iteration | Rate (CPU) |",
             "|---|---:|---:|---:|"]
    for b in micro.get("benchmarks", []):
        if b.get("run_type") == "aggregate":
            continue
        unit = b.get("time_unit", "ns")
        rate = ""
        if "items_per_second" in b:
            rate = f"{b['items_per_second'] / 1e6:.2f} M items/s"
        elif "bytes_per_second" in b:
            rate = f"{b['bytes_per_second'] / MIB:.1f} MiB/s"
        lines.append(f"| {b['name']} | {b['real_time']:.0f} {unit} | {b['cpu_time']:.0f} {unit} | "
                     f"{rate} |")
    return lines


def goals(rows, idle):
    lines = []
    for r in rows:
        key = (r["kind"], r["tool"])
        need = (THROUGHPUT_GOALS if r["size"] >= 100 * MIB else SMALL_GOALS).get(key)
        if need is not None:
            met = r["ratio"] >= need
            lines.append(f"- {'met' if met else 'NOT MET'}: {r['kind']} {r['size_label']} "
                         f"{r['tool']} at {r['ratio']:.3f} × curl (goal ≥ {need})")
        limit = RAW_TIME_GOALS.get(key)
        if limit is not None and r["size"] >= 100 * MIB and r["raw_time"] == r["raw_time"]:
            met = r["raw_time"] <= limit
            lines.append(f"- {'met' if met else 'NOT MET'}: {r['kind']} {r['size_label']} "
                         f"{r['tool']} takes {r['raw_time']:.3f} × the raw transfer's time "
                         f"(goal ≤ {limit})")
        if key in CPU_GOALS and r["size"] >= 100 * MIB:
            curl = next(c for c in rows if c["kind"] == r["kind"] and c["size"] == r["size"]
                        and c["tool"] == "curl")
            met = r["cpu_per_gib"] <= curl["cpu_per_gib"]
            lines.append(f"- {'met' if met else 'NOT MET'}: {r['kind']} {r['size_label']} "
                         f"{r['tool']} CPU {r['cpu_per_gib']:.2f} s/GiB (goal ≤ curl's "
                         f"{curl['cpu_per_gib']:.2f})")
    for kind in ("upload", "download", "upload-tls", "download-tls"):
        mine = [r for r in rows if r["kind"] == kind and r["tool"].startswith("veldrask")]
        for r in (r for r in mine if r["size"] == GIB):
            # Growth with size shows between the two large files; below 100 MiB the buffers
            # may not have filled yet.
            base = next((s for s in mine if s["tool"] == r["tool"] and s["size"] == 100 * MIB),
                        None)
            grows = base is not None and r["rss_mib"] - base["rss_mib"] >= 1.0
            rss_limit = RSS_LIMITS_MIB[kind]
            met = r["rss_mib"] < rss_limit and not grows
            versus = "" if base is None else f"; {base['rss_mib']:.1f} MiB at 100 MiB"
            lines.append(f"- {'met' if met else 'NOT MET'}: peak RSS of {kind} 1 GiB "
                         f"{r['tool']} {r['rss_mib']:.1f} MiB (goal < {rss_limit} MiB and "
                         f"not growing with size{versus})")
    for c in idle:
        met = c["core_percent"] < IDLE_LIMIT_PERCENT
        lines.append(f"- {'met' if met else 'NOT MET'}: stalled ({c['mode']}) "
                     f"{c['core_percent']:.3f} % of a core (goal < {IDLE_LIMIT_PERCENT} %)")
    return lines


def load_json(path, default):
    if path and os.path.exists(path):
        with open(path) as f:
            return json.load(f)
    return default


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--e2e")
    parser.add_argument("--idle")
    parser.add_argument("--micro")
    parser.add_argument("--machine", required=True, help="text file describing the machine")
    parser.add_argument("--results", required=True, help="RESULTS.md to rewrite")
    args = parser.parse_args()

    e2e = load_json(args.e2e, {"transfers": []})
    idle = load_json(args.idle, [])
    micro = load_json(args.micro, {})
    rows = [row for t in e2e["transfers"] for row in summarize(t)]
    with open(args.machine) as f:
        machine = f.read().strip()

    body = ["# Benchmark results", "", "Written by `bench/run.sh`; the numbers are from its last run.",
            "", "## Machine", "", machine, ""]
    if rows:
        body += ["## End to end on loopback (nginx, files on tmpfs)", "",
                 "MB/s = file bytes / wall time of the whole command (start-up included), median "
                 "of the runs; × curl = median of the ratios within each round, each round running "
                 "every client once in rotating order; CPU = user + sys of the client; peak RSS = "
                 "its max RSS over the runs (GNU time)."]
        if "body_check_s" in e2e:
            body += ["", "nginx reads whole bodies before answering: 4 MiB of an 8 MiB upload got "
                     "no answer in 1.5 s; the other 4 MiB then got `ok` after "
                     f"{e2e['body_check_s'] * 1000:.0f} ms."]
        floor = e2e.get("floor")
        if floor:
            body += ["", f"Floor of the measurement (`true` run the same way): "
                     f"{floor['wall'] * 1000:.1f} ms wall, {floor['cpu'] * 1000:.1f} ms CPU, "
                     f"{floor['maxrss_kib'] / 1024:.1f} MiB max RSS."]
        body += [""]
        body += transfer_table(rows) + [""]
    if idle:
        body += ["## Idle cost", ""] + idle_table(idle) + [""]
    if rows or idle:
        body += ["## Goals", ""] + goals(rows, idle) + [""]
    if micro:
        context = micro.get("context", {})
        body += ["## Micro benchmarks (Google Benchmark)", "",
                 "The code measured is the release build (-O3); the build type Google Benchmark "
                 f"reports ({context.get('library_build_type', '?')}) is that of Debian's "
                 "library. An iteration of the format benchmarks formats four values (items); "
                 "wall time counts waiting for a core when other work runs, CPU time does not.",
                 ""]
        body += micro_table(micro) + [""]
    print("\n".join(body))

    kept = ""
    if os.path.exists(args.results):
        with open(args.results) as f:
            previous = f.read()
        if KEPT_MARKER in previous:
            kept = previous.split(KEPT_MARKER, 1)[1]
    with open(args.results, "w") as f:
        f.write("\n".join(body) + "\n" + KEPT_MARKER + (kept or "\n"))


if __name__ == "__main__":
    main()
