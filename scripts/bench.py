#!/usr/bin/env python3
# SPDX-FileCopyrightText: 2026 Trakvid developers
# SPDX-License-Identifier: MIT
"""Runs bench_trakvid over generated databases of 10,000, 100,000 and 1,000,000
lines, runs grep, cp, sync and wc on the same files in the same run, and
prints one Markdown table: medians of wall time (CPU time in brackets) and
ours/theirs. The peak memory is that of the whole session of one size: a
start, showing, adding, a run, a deletion, saving, every listing, a report;
the whole wagon file in the output pane (first key, find) is measured after it.

Usage: bench.py BENCH_BINARY [--repetitions N] [--sizes 10000,100000,1000000] [--keep]
"""
import argparse
import json
import os
import resource
import shutil
import statistics
import subprocess
import sys
import tempfile
import time
from datetime import date

# (benchmark, figure, standard tool key or None)
FIGURES = [
    ("startup", "Start with the files present, up to the splash closed: longest held tick (`Timer1Timer`)", "read_wagons"),
    ("show_wagons", "Show the wagon database (`Vozy1Click`)", "read_wagons"),
    ("show_locomotives", "Show the locomotive database (`Lokomotivy1Click`)", "read_locomotives"),
    ("add_middle", "Add one wagon in the middle (`btn_pridatClick`)", None),
    ("add_top", "Add one wagon at the top (`btn_pridatClick`)", None),
    ("run999_top", "Run of 999 wagons at the top (`btn_serieClick`)", None),
    ("delete_near_top", "Delete the 11th line (`btn_smazClick`)", None),
    ("save", "Save the wagon database (`Uloitdatabzi1Click`)", "save"),
    ("listing_characteristic", "Listing of wagons by characteristic, 10 % (`PodleCharakteristiky1Click`)", "characteristic"),
    ("listing_dkv", "Listing of wagons by DKV, 10 % (`PodleDKV1Click`)", "dkv"),
    ("listing_station", "Listing of wagons by home station, 10 % (`PodleDomovskstanice1Click`)", "station"),
    ("listing_series", "Listing of locomotives by series, 1,000 lines (`Podleady1Click`)", "series"),
    ("listing_loco_dkv", "Listing of locomotives by DKV, 10 % (`PodleDKV2Click`)", "loco_dkv"),
    ("listing_unit", "Listing of locomotives by operating unit, 10 % (`Podleprovoznjednotky1Click`)", "unit"),
    ("number_check", "Number check of the wagon database (`Kontrolasel1Click`)", "number_check"),
    ("report", "Report of one wagon (`btn_pocitejClick`)", "report"),
    ("merge", "Merge 1,000 changes into the wagon file another program changed in 1,000 places, and save "
              "(`Uloitdatabzi1Click`)", "save"),
    ("pane_first_key", "First key typed into the whole wagon file shown in the pane as a listing", None),
    ("pane_find", "\"Hledat\" of the line at 70 % of the whole wagon file shown in the pane", "find"),
    ("list_open", "Show a reference list of as many lines, at most 100,000, in the editor "
                  "(`Charakteristika561Click`)", None),
]

# Goals at the largest size: (kind, limit); "ms" absolute, "x" times the tool.
GOALS = {
    "startup": ("x", 5),
    "show_wagons": ("x", 3),
    "add_middle": ("ms", 5),
    "add_top": ("ms", 5),
    "run999_top": ("ms", 5),
    "delete_near_top": ("ms", 5),
    "save": ("x", 1.5),
    "listing_characteristic": ("x", 3),
    "listing_dkv": ("x", 3),
    "listing_station": ("x", 3),
    "listing_series": ("x", 3),
    "listing_loco_dkv": ("x", 3),
    "listing_unit": ("x", 3),
    "report": ("x", 1.2),
    "number_check": ("listing", None),
    "merge": ("x", 3),  # no slower than the fastest listing of the wagons
    "pane_first_key": ("ms", 300),  # no action holds the window longer
    "pane_find": ("ms", 300),
    "list_open": ("ms", 1000),
}
PANE_MEMORY_GOAL = 2  # the whole file shown in the pane at most this many times its text as held
LISTINGS = ["listing_characteristic", "listing_dkv", "listing_station"]

# The number check done by awk: check digit, order, repeated numbers and the
# two markers of every line that starts with 11 digits; prints the lines with a problem.
NUMBER_CHECK_AWK = (
    '/^[0-9][0-9][0-9][0-9][0-9][0-9][0-9][0-9][0-9][0-9][0-9]/ {'
    ' n = substr($0, 1, 11); s = 0;'
    ' for (i = 1; i <= 11; i++) { d = substr(n, i, 1) * (i % 2 ? 2 : 1); s += d > 9 ? d - 9 : d }'
    ' bad = substr($0, 12, 2) != "-" (10 - s % 10) % 10 || (n in seen) || n < p'
    ' || substr($0, 14, 5) != " dkv " || index(substr($0, 19), " domovska ") == 0;'
    ' e += bad; seen[n] = 1; p = n }'
    ' END { print e + 0 }')
MEMORY_GOAL = 2.5  # peak memory of the whole session at most this many times the wagon file


def tools(folder, values):
    """The standard tools doing the same work, per figure: commands, how to check
    their result, label. A listing's grep writes its lines to a file, as the
    listing writes them into the pane; the save's cp is followed by a sync of
    the copy, as the save syncs its file."""
    enc = lambda text: text.encode("cp1250")
    vozy = os.path.join(folder, "vozy.txt")
    loko = os.path.join(folder, "lokomotivy.txt")
    copy = os.path.join(folder, "kopie.txt")
    listed = os.path.join(folder, "vypis.txt")
    grep = lambda pattern, file, expected, label: ([["grep"] + pattern + [file]], ("lines", listed, values[expected]),
                                                   label)
    return {
        "read_wagons": ([["wc", "-l", vozy]], None, "`wc -l`"),
        "read_locomotives": ([["wc", "-l", loko]], None, "`wc -l`"),
        "save": ([["cp", vozy, copy], ["sync", copy]], None, "`cp`, then `sync` of the copy"),
        "characteristic": grep([enc("^....") + enc(values["characteristic"])], vozy, "characteristic_lines",
                               "`grep '^....5955' > file`"),
        "dkv": grep([b"^.\\{18\\}" + enc(values["dkv"])], vozy, "dkv_lines", "`grep '^.\\{18\\}Plzeň' > file`"),
        "station": grep(["-F", enc(" domovska " + values["station"])], vozy, "station_lines",
                        "`grep -F ' domovska Přerov' > file`"),
        "series": grep([enc("^" + values["series"])], loko, "series_lines", f"`grep '^{values['series']}' > file`"),
        "loco_dkv": grep([b"^.\\{13\\}" + enc(values["loco_dkv"])], loko, "loco_dkv_lines",
                         "`grep '^.\\{13\\}Plzeň' > file`"),
        "unit": grep(["-F", enc(" pj " + values["unit"])], loko, "unit_lines", "`grep -F ' pj Přerov' > file`"),
        "report": ([["grep", "-c", enc("^" + values["report_wagon"]), vozy]], ("count", 1), "`grep -c '^<11 digits>'`"),
        "number_check": ([["awk", NUMBER_CHECK_AWK, vozy]], ("count", 0), "`awk` (the same rules)"),
        "find": ([["grep", "-a", "-n", "-m", "1", "-F", enc(values["find_text"]), vozy]], ("line", values["find_line"]),
                 "`grep -n -m 1 -F '<number>'`"),
    }


def run_tool(commands, check, repetitions, env, cleanup=None):
    """Median wall and CPU time in ms of `repetitions` runs of the commands, one after another."""
    walls, cpus = [], []
    for _ in range(repetitions):
        if cleanup:
            cleanup()
        before = resource.getrusage(resource.RUSAGE_CHILDREN)
        start = time.perf_counter()
        outputs = []
        for argv in commands:
            if check and check[0] == "lines":
                with open(check[1], "wb") as out:
                    done = subprocess.run(argv, env=env, stdout=out, stderr=subprocess.PIPE)
            else:
                done = subprocess.run(argv, env=env, stdout=subprocess.PIPE, stderr=subprocess.PIPE)
            if done.returncode != 0:
                sys.exit(f"{argv[0]} failed: {done.stderr.decode(errors='replace')}")
            outputs.append(done.stdout)
        wall = time.perf_counter() - start
        after = resource.getrusage(resource.RUSAGE_CHILDREN)
        if check and check[0] == "line" and int(outputs[-1].split(b":")[0]) != check[1]:
            sys.exit(f"{commands[-1][0]} found line {outputs[-1][:20]!r}, expected {check[1]}: not the same line")
        if check and check[0] == "count" and int(outputs[-1].split()[0]) != check[1]:
            sys.exit(f"{commands[-1][0]} counted {outputs[-1].strip()}, expected {check[1]}: not the same selection")
        if check and check[0] == "lines":
            with open(check[1], "rb") as f:
                lines = f.read().count(b"\n")
            if lines != check[2]:
                sys.exit(f"{commands[-1][0]} wrote {lines} lines, the listing {check[2]}: not the same selection")
        walls.append(wall * 1000)
        cpus.append((after.ru_utime - before.ru_utime + after.ru_stime - before.ru_stime) * 1000)
    return statistics.median(walls), statistics.median(cpus)


def loadavg():
    with open("/proc/loadavg") as f:
        return float(f.read().split()[0])


def measure(binary, folder, repetitions, env):
    out = os.path.join(folder, "result.json")
    subprocess.run([binary, f"--data={folder}", f"--benchmark_repetitions={repetitions}",
                    "--benchmark_report_aggregates_only=true", f"--benchmark_out={out}",
                    "--benchmark_out_format=json"],
                   env=env, check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    with open(out) as f:
        report = json.load(f)
    figures = {}
    for b in report["benchmarks"]:
        if b.get("aggregate_name") != "median":
            continue
        name = b["run_name"].split("/")[0]
        if b.get("error_occurred"):
            sys.exit(f"{name}: {b.get('error_message')}")
        figures[name] = b
    return figures


def fmt(value):
    return f"{value:.0f}" if value >= 100 else f"{value:.1f}" if value >= 10 else f"{value:.2f}"


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("binary")
    parser.add_argument("--repetitions", type=int, default=7)
    parser.add_argument("--sizes", default="10000,100000,1000000")
    parser.add_argument("--keep", action="store_true", help="keep the generated data")
    args = parser.parse_args()
    sizes = [int(s) for s in args.sizes.split(",")]

    root = tempfile.mkdtemp(prefix="trakvid-bench-")
    env = dict(os.environ, QT_QPA_PLATFORM="offscreen", LC_ALL="C")
    if "XDG_RUNTIME_DIR" not in env:
        env["XDG_RUNTIME_DIR"] = os.path.join(root, "runtime")
        os.mkdir(env["XDG_RUNTIME_DIR"], 0o700)
    started = time.time()
    loads = [loadavg()]
    results = {}
    try:
        for size in sizes:
            folder = os.path.join(root, str(size))
            print(f"{size:,} lines: data ...", file=sys.stderr, flush=True)
            subprocess.run([args.binary, f"--make-data={folder}", f"--lines={size}"], env=env, check=True,
                           stderr=subprocess.DEVNULL)
            with open(os.path.join(folder, "values.json")) as f:
                values = json.load(f)
            print(f"{size:,} lines: Trakvid ...", file=sys.stderr, flush=True)
            ours = measure(args.binary, folder, args.repetitions, env)
            loads.append(loadavg())
            print(f"{size:,} lines: standard tools ...", file=sys.stderr, flush=True)
            theirs = {}
            copy = os.path.join(folder, "kopie.txt")
            remove_copy = lambda: os.path.exists(copy) and os.remove(copy)
            for key, (commands, check, label) in tools(folder, values).items():
                theirs[key] = run_tool(commands, check, args.repetitions, env,
                                       remove_copy if key == "save" else None) + (label,)
            loads.append(loadavg())
            results[size] = (ours, theirs, os.path.getsize(os.path.join(folder, "vozy.txt")))
    finally:
        if args.keep:
            print(f"data kept in {root}", file=sys.stderr)
        else:
            shutil.rmtree(root, ignore_errors=True)

    largest = sizes[-1]
    print(f"Measured on {date.today().isoformat()}, {os.cpu_count()} CPUs, load average "
          f"{min(loads):.1f} to {max(loads):.1f} (other work on the machine); whole run "
          f"{time.time() - started:.0f} s. Medians of {args.repetitions} runs: wall time in ms, "
          f"CPU time in brackets; ratio = ours / theirs by wall time. Wagon file: "
          + ", ".join(f"{size:,} lines {results[size][2] / 1e6:.1f} MB" for size in sizes) + ".")
    print()
    header = ["Figure", "Standard tool"]
    for size in sizes:
        header += [f"{size:,}: ours", "theirs", "ratio"]
    header += [f"Goal at {largest:,}", "Met"]
    print("| " + " | ".join(header) + " |")
    print("|" + "---|" * len(header))
    for name, figure, tool in FIGURES:
        row = [figure, "–"]
        ratio_at_largest = None
        for size in sizes:
            ours, theirs, _ = results[size]
            b = ours[name]
            row.append(f"{fmt(b['real_time'])} ({fmt(b['cpu_time'])})")
            if tool:
                wall, cpu, label = theirs[tool]
                row[1] = label
                ratio = b["real_time"] / wall
                row += [f"{fmt(wall)} ({fmt(cpu)})", f"{ratio:.2f}" if ratio < 0.1 else f"{ratio:.1f}"]
                ratio_at_largest = ratio
            else:
                row += ["–", "–"]
        goal = GOALS.get(name)
        if goal and goal[0] == "listing":
            fastest = min(results[largest][0][listing]["real_time"] for listing in LISTINGS)
            row += ["≤ fastest listing", "yes" if results[largest][0][name]["real_time"] <= fastest else "no"]
        elif goal:
            kind, limit = goal
            value = results[largest][0][name]["real_time"] if kind == "ms" else ratio_at_largest
            row += [f"≤ {limit} ms" if kind == "ms" else f"≤ {limit} × tool", "yes" if value <= limit else "no"]
        else:
            row += ["–", "–"]
        print("| " + " | ".join(row) + " |")
    row = ["Peak memory of the whole session, MB (before any database)", "file size"]
    for size in sizes:
        ours, _, file_bytes = results[size]
        memory = ours["memory"]
        row += [f"{memory['peak_bytes'] / 1e6:.0f} ({memory['baseline_bytes'] / 1e6:.0f})",
                f"{file_bytes / 1e6:.1f}", f"{memory['peak_bytes'] / file_bytes:.1f}"]
    peak_ratio = results[largest][0]["memory"]["peak_bytes"] / results[largest][2]
    row += [f"≤ {MEMORY_GOAL} × file", "yes" if peak_ratio <= MEMORY_GOAL else "no"]
    print("| " + " | ".join(row) + " |")
    row = ["Memory of the whole wagon file shown in the pane, MB", "its text as held (UTF-16)"]
    for size in sizes:
        pane = results[size][0]["pane_first_key"]
        row += [f"{pane['pane_bytes'] / 1e6:.0f}", f"{pane['text_bytes'] / 1e6:.0f}",
                f"{pane['pane_bytes'] / pane['text_bytes']:.1f}"]
    pane = results[largest][0]["pane_first_key"]
    pane_ratio = pane["pane_bytes"] / pane["text_bytes"]
    row += [f"≤ {PANE_MEMORY_GOAL} × text", "yes" if pane_ratio <= PANE_MEMORY_GOAL else "no"]
    print("| " + " | ".join(row) + " |")


if __name__ == "__main__":
    main()
