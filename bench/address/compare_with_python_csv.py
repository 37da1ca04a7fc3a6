#!/usr/bin/env python3
"""Parses the same generated address file with the address book's reader and
with Python's csv module, side by side, and prints both times and the ratio.

usage: compare_with_python_csv.py <address_file_tool> [address count]
"""
import csv
import os
import subprocess
import sys
import tempfile
import time


def python_csv_seconds(path, repeats):
    best = float("inf")
    for _ in range(repeats):
        start = time.perf_counter()
        with open(path, newline="", encoding="latin-1") as f:
            rows = list(csv.reader(f))
        best = min(best, time.perf_counter() - start)
        del rows
    return best


def main():
    if len(sys.argv) not in (2, 3):
        sys.exit(__doc__)
    tool = sys.argv[1]
    count = int(sys.argv[2]) if len(sys.argv) == 3 else 100000
    repeats = 5
    with tempfile.TemporaryDirectory() as directory:
        path = os.path.join(directory, "Address.csv")
        subprocess.run([tool, "generate", str(count), path], check=True)
        size = os.path.getsize(path)
        ours = float(subprocess.run([tool, "load", path, str(repeats)], check=True,
                                    capture_output=True, text=True).stdout)
        python = python_csv_seconds(path, repeats)
    print(f"file: {count} addresses, {size / 1e6:.1f} MB (best of {repeats})")
    print(f"LoadGridFromFile : {ours * 1000:8.1f} ms  {size / ours / 1e6:7.1f} MB/s")
    print(f"Python csv.reader: {python * 1000:8.1f} ms  {size / python / 1e6:7.1f} MB/s")
    print(f"ratio            : {python / ours:8.2f}x faster (at least 3x wanted)")
    return 0 if python / ours >= 3 else 1


if __name__ == "__main__":
    sys.exit(main())
