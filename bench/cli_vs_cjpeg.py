#!/usr/bin/env python3
"""Whole process beside whole process: pelnoro-encode against cjpeg, JPEG baseline.

Usage: bench/cli_vs_cjpeg.py [--runs N] [--quality Q] [--encoder PATH] PPM...
Each run starts, in turn, cjpeg writing its file, pelnoro-encode as it writes by default
(flushed to disk, then renamed over the old file) and pelnoro-encode --in-place (written
straight into the file, as cjpeg writes). Per picture it prints the median wall time and
the median CPU time (user + system) of each, and ours over cjpeg's for both. Taking
turns run by run keeps a machine that slows down mid-way fair to all three.
"""
import argparse
import os
import resource
import statistics
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
ENCODE = os.path.join(HERE, "..", "build", "host", "bin", "pelnoro-encode")


def timed(cmd):
    """Wall and CPU milliseconds of one run of cmd."""
    before = resource.getrusage(resource.RUSAGE_CHILDREN)
    start = time.perf_counter()
    subprocess.run(cmd, check=True, stdout=subprocess.DEVNULL)
    wall = (time.perf_counter() - start) * 1000.0
    after = resource.getrusage(resource.RUSAGE_CHILDREN)
    cpu = (after.ru_utime - before.ru_utime + after.ru_stime - before.ru_stime) * 1000.0
    return wall, cpu


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("images", nargs="+")
    ap.add_argument("--runs", type=int, default=15)
    ap.add_argument("--quality", type=int, default=75)
    ap.add_argument("--encoder", default=ENCODE)
    args = ap.parse_args()
    q = str(args.quality)
    tmp = tempfile.mkdtemp(prefix="pelnoro-cli-bench-")
    out = os.path.join(tmp, "out.jpg")
    tools = [
        ("cjpeg", lambda i: ["cjpeg", "-quality", q, "-outfile", out, i]),
        ("pelnoro-encode", lambda i: [args.encoder, "jpeg", "--quality", q, i, out]),
        ("pelnoro-encode --in-place",
         lambda i: [args.encoder, "jpeg", "--quality", q, "--in-place", i, out]),
    ]
    print(f"JPEG q{q} baseline, whole process, median of {args.runs} runs taken in turn")
    print(f"{'image':28} {'tool':26} {'bytes':>8} {'wall ms':>8} {'cpu ms':>8} "
          f"{'wall x':>7} {'cpu x':>6}")
    for image in args.images:
        if not image.endswith(".ppm"):
            sys.exit(f"{image}: not a .ppm file")
        samples = {name: ([], []) for name, _ in tools}
        sizes = {}
        for _ in range(args.runs):
            for name, cmd in tools:
                wall, cpu = timed(cmd(image))
                samples[name][0].append(wall)
                samples[name][1].append(cpu)
                sizes[name] = os.path.getsize(out)
        ref_wall, ref_cpu = (statistics.median(v) for v in samples["cjpeg"])
        for name, _ in tools:
            wall, cpu = (statistics.median(v) for v in samples[name])
            ratios = "" if name == "cjpeg" else f"{wall / ref_wall:7.2f} {cpu / ref_cpu:6.2f}"
            print(f"{os.path.basename(image):28} {name:26} {sizes[name]:8d} {wall:8.2f} "
                  f"{cpu:8.2f} {ratios}")
    os.remove(out)
    os.rmdir(tmp)


if __name__ == "__main__":
    main()
