#!/usr/bin/env python3
"""Measures, in one run and side by side, the address book's load and save
of a generated address file against yardsticks: libcsv parsing the same file
into counts only, Python's csv module, a plain read() with a memchr line count
(the floor of any load) and writing the same bytes with fsync (the floor of
any save), and the writer alone, its pieces dropped (its own share of a
save). Prints the median of a few runs of each, the ratios and the targets;
then the file of 10 million one-character lines.

usage: compare_address_file.py <build>/bench/address [address count ...]
       (default counts: 100000 1000000)
"""
import csv
import os
import statistics
import subprocess
import sys
import tempfile
import time

REPEATS = 5


def run(tool, *args):
    out = subprocess.run([tool, *map(str, args)], check=True, capture_output=True, text=True).stdout
    return [float(x) for x in out.split()]


def python_csv_seconds(path, repeats):
    times = []
    for _ in range(repeats):
        start = time.perf_counter()
        with open(path, newline="", encoding="latin-1") as f:
            rows = sum(1 for _ in csv.reader(f))
        times.append(time.perf_counter() - start)
    return statistics.median(times), rows


def check(label, ok):
    return f"{label}: {'met' if ok else 'MISSED'}"


def compare(bench_dir, count, directory):
    tool = os.path.join(bench_dir, "address_file_tool")
    libcsv = os.path.join(bench_dir, "libcsv_count")
    path = os.path.join(directory, f"Address{count}.csv")
    subprocess.run([tool, "generate", str(count), path], check=True)
    size = os.path.getsize(path)

    load, peak = run(tool, "load", path, REPEATS)
    counted = run(libcsv, path, REPEATS)[0] if os.path.exists(libcsv) else None
    python, _ = python_csv_seconds(path, 3)
    read_floor = run(tool, "read-floor", path, REPEATS)[0]
    save = run(tool, "save", path, REPEATS)[0]
    writer = run(tool, "write-memory", path, REPEATS)[0]
    write_floor = run(tool, "write-floor", path, REPEATS)[0]
    os.unlink(path)

    mb = size / 1e6
    print(f"\n{count} addresses, {mb:.1f} MB; medians of {REPEATS} runs (Python: 3)")
    rows = [("LoadGridFromFile", load), ("libcsv, counts only", counted), ("Python csv.reader", python),
            ("read + memchr lines", read_floor), ("SaveGridToFile", save),
            ("writer alone, in memory", writer), ("write + fsync", write_floor)]
    for name, seconds in rows:
        if seconds is None:
            print(f"  {name:23} (libcsv_count not built: install libcsv-dev)")
        else:
            print(f"  {name:23} {seconds * 1000:9.1f} ms {mb / seconds:8.0f} MB/s")
    print(f"  peak memory added while opening: {peak / 1e6:.1f} MB = {peak / size:.2f} x the file")
    if counted:
        print(f"  load / libcsv counting : {load / counted:5.2f}  " + check("target <= 1", load <= counted))
    print(f"  Python csv / load      : {python / load:5.1f}  " + check("target >= 10", python / load >= 10))
    print(f"  load / read floor      : {load / read_floor:5.2f}")
    print(f"  save / write+fsync     : {save / write_floor:5.2f}  " + check("target <= 2", save <= 2 * write_floor))
    print(f"  writer / write+fsync   : {writer / write_floor:5.2f}  (the writer's own work, without the file)")
    print(f"  peak memory / file     : {peak / size:5.2f}  " + check("target <= 1.5", peak <= 1.5 * size))


def short_lines(bench_dir, directory):
    tool = os.path.join(bench_dir, "address_file_tool")
    path = os.path.join(directory, "Short.csv")
    lines = 10_000_000
    subprocess.run([tool, "generate-short", str(lines), path], check=True)
    size = os.path.getsize(path)
    load, peak = run(tool, "load", path, 3)
    os.unlink(path)
    print(f"\n{lines} one-character lines, {size / 1e6:.0f} MB: load {load:.2f} s, "
          f"peak memory added {peak / 1e6:.0f} MB  " + check("target 5 s and 1 GB", load <= 5 and peak <= 1e9))


def main():
    if len(sys.argv) < 2:
        sys.exit(__doc__)
    counts = [int(c) for c in sys.argv[2:]] or [100_000, 1_000_000]
    print("load:", open("/proc/loadavg").read().strip())
    with tempfile.TemporaryDirectory() as directory:
        for count in counts:
            compare(sys.argv[1], count, directory)
        short_lines(sys.argv[1], directory)
    print("load:", open("/proc/loadavg").read().strip())


if __name__ == "__main__":
    main()
