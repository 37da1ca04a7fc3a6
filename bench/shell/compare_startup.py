#!/usr/bin/env python3
"""Start-up to first paint of the launcher against an empty Qt window of its size.

Runs bench_startup and bench_empty_window in turn, at Qt scale factors 1 and 2,
in a working directory set up like scripts/run's (a copy of sample/ as drive C:),
and prints the medians and their ratio, of the time to first paint and of the
processor time the program took (user and system, its threads together), which
varies less on a busy machine. Needs a display; without a desktop:

    xvfb-run -a -s "-screen 0 2560x2048x24" python3 bench/shell/compare_startup.py build-bench/bench/shell [runs]
"""
import os
import pathlib
import re
import resource
import shutil
import statistics
import subprocess
import sys
import tempfile

REPO = pathlib.Path(__file__).resolve().parents[2]


def prepare_run_dir(root):
    (root / "drive_c").mkdir()
    (root / "wine" / "dosdevices").mkdir(parents=True)
    (root / "work").mkdir()
    shutil.copytree(REPO / "sample", root / "drive_c" / "kb")
    os.symlink("../../drive_c", root / "wine" / "dosdevices" / "c:")
    (root / "work" / "Kestrelbook.Ini").write_bytes(b"DataFileName=c:\\kb\r\n")


def first_paint_ms(program, work, env):
    """The time to first paint and the processor time of one run, in ms."""
    before = resource.getrusage(resource.RUSAGE_CHILDREN)
    out = subprocess.run([str(program)], cwd=work, env=env, capture_output=True, text=True, timeout=60).stdout
    after = resource.getrusage(resource.RUSAGE_CHILDREN)
    match = re.search(r"start-up to first paint: (\d+) ms", out)
    if not match:
        sys.exit(f"{program.name} printed no time: {out!r}")
    processor = (after.ru_utime - before.ru_utime + after.ru_stime - before.ru_stime) * 1000
    return int(match.group(1)), processor


def main():
    bench_dir = pathlib.Path(sys.argv[1]).resolve()
    runs = int(sys.argv[2]) if len(sys.argv) > 2 else 15
    programs = {"launcher": bench_dir / "bench_startup", "empty window": bench_dir / "bench_empty_window"}
    with tempfile.TemporaryDirectory() as temp:
        root = pathlib.Path(temp)
        prepare_run_dir(root)
        for scale in ("1", "2"):
            env = dict(os.environ, WINEPREFIX=str(root / "wine"), QT_SCALE_FACTOR=scale)
            times = {name: [] for name in programs}
            processor = {name: [] for name in programs}
            for program in programs.values():  # warm the disk cache
                first_paint_ms(program, root / "work", env)
            for _ in range(runs):
                for name, program in programs.items():
                    paint, used = first_paint_ms(program, root / "work", env)
                    times[name].append(paint)
                    processor[name].append(used)
            medians = {name: statistics.median(values) for name, values in times.items()}
            used = {name: statistics.median(values) for name, values in processor.items()}
            print(f"scale {scale}: launcher {medians['launcher']:.0f} ms, empty window {medians['empty window']:.0f} ms,"
                  f" ratio {medians['launcher'] / medians['empty window']:.2f}; processor time"
                  f" {used['launcher']:.1f} ms against {used['empty window']:.1f} ms,"
                  f" ratio {used['launcher'] / used['empty window']:.2f} (medians of {runs})")


if __name__ == "__main__":
    main()
