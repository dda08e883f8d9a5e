#!/usr/bin/env python3
"""Encoder benchmark: our core (pelnoro-encode) against cjpeg and ImageMagick/libpng.

Usage: bench/run.py [CORPUS_DIR] [--runs N] [--quality Q]
CORPUS_DIR holds 8-bit binary PPMs (bench/make-corpus.sh makes them). Prints, per image
and in total, bytes, PSNR against the source and the median wall time of N runs of each
tool (process start and PPM reading included for every tool alike).
"""
import argparse
import os
import re
import statistics
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
ENCODE = os.path.join(HERE, "..", "build", "host", "bin", "pelnoro-encode")
CONVERT = "/usr/bin/convert"


def timed(cmd, runs, stdout=None):
    times = []
    for _ in range(runs):
        start = time.perf_counter()
        with open(stdout, "wb") if stdout else open(os.devnull, "wb") as out:
            subprocess.run(cmd, check=True, stdout=out if stdout else subprocess.DEVNULL)
        times.append(time.perf_counter() - start)
    return statistics.median(times) * 1000.0


def psnr(source, encoded):
    r = subprocess.run(["compare", "-metric", "PSNR", source, encoded, "null:"],
                       capture_output=True, text=True)
    text = r.stderr.strip().split()[0]
    return float("inf") if text == "inf" else float(text)


def differing_pixels(source, encoded):
    r = subprocess.run(["compare", "-metric", "AE", source, encoded, "null:"],
                       capture_output=True, text=True)
    return int(float(r.stderr.strip().split()[0]))


def djpeg_clean(path):
    r = subprocess.run(["djpeg", path], capture_output=True)
    return r.returncode == 0 and not r.stderr


def pngcheck_ok(path):
    return subprocess.run(["pngcheck", "-q", path], capture_output=True).returncode == 0


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("corpus", nargs="?", default=os.path.join(HERE, "corpus"))
    ap.add_argument("--runs", type=int, default=5)
    ap.add_argument("--quality", type=int, default=75)
    ap.add_argument("--encoder", default=ENCODE)
    args = ap.parse_args()
    images = sorted(f for f in os.listdir(args.corpus) if f.endswith(".ppm"))
    if not images:
        sys.exit("no .ppm files in " + args.corpus)
    tmp = tempfile.mkdtemp(prefix="pelnoro-bench-")
    q = str(args.quality)

    jpeg_tools = [
        ("ours baseline", lambda i, o: [args.encoder, "jpeg", "--quality", q, i, o], False),
        ("cjpeg", lambda i, o: ["cjpeg", "-quality", q, i], True),
        ("ours progressive", lambda i, o: [args.encoder, "jpeg", "--quality", q, "--progressive", i, o], False),
        ("cjpeg -progressive", lambda i, o: ["cjpeg", "-quality", q, "-progressive", i], True),
    ]
    png_tools = [
        ("ours low (1)", lambda i, o: [args.encoder, "png", "--level", "1", i, o]),
        ("IM level 1", lambda i, o: [CONVERT, i, "-define", "png:compression-level=1", o]),
        ("ours normal (0)", lambda i, o: [args.encoder, "png", "--level", "0", i, o]),
        ("IM level 6", lambda i, o: [CONVERT, i, "-define", "png:compression-level=6", o]),
        ("ours highest (2)", lambda i, o: [args.encoder, "png", "--level", "2", i, o]),
        ("IM level 9", lambda i, o: [CONVERT, i, "-define", "png:compression-level=9", o]),
    ]
    totals = {}
    problems = []

    def add(tool, size, ms, quality):
        t = totals.setdefault(tool, [0, 0.0, []])
        t[0] += size
        t[1] += ms
        t[2].append(quality)

    print(f"JPEG, quality {q}, 4:2:0")
    print(f"{'image':28} {'tool':20} {'bytes':>10} {'PSNR dB':>8} {'ms':>8}")
    for image in images:
        src = os.path.join(args.corpus, image)
        for n, (tool, cmd, to_stdout) in enumerate(jpeg_tools):
            out = os.path.join(tmp, f"{n}.jpg")
            ms = timed(cmd(src, out), args.runs, stdout=out if to_stdout else None)
            size = os.path.getsize(out)
            p = psnr(src, out)
            if not djpeg_clean(out):
                problems.append(f"{image}: {tool}: djpeg warning")
            add(tool, size, ms, p)
            print(f"{image:28} {tool:20} {size:10d} {p:8.3f} {ms:8.1f}")
    print()
    print("PNG (lossless; 'diff' counts pixels differing from the source)")
    print(f"{'image':28} {'tool':20} {'bytes':>10} {'diff':>8} {'ms':>8}")
    for image in images:
        src = os.path.join(args.corpus, image)
        for n, (tool, cmd) in enumerate(png_tools):
            out = os.path.join(tmp, f"{n}.png")
            ms = timed(cmd(src, out), args.runs)
            size = os.path.getsize(out)
            d = differing_pixels(src, out)
            if not pngcheck_ok(out):
                problems.append(f"{image}: {tool}: pngcheck failed")
            add(tool, size, ms, d)
            print(f"{image:28} {tool:20} {size:10d} {d:8d} {ms:8.1f}")
    print()
    print(f"Totals over {len(images)} images ({args.runs} runs each, median times summed)")
    print(f"{'tool':20} {'bytes':>10} {'mean PSNR / diff':>17} {'ms':>8}")
    for tool, (size, ms, quality) in totals.items():
        print(f"{tool:20} {size:10d} {statistics.mean(quality):17.3f} {ms:8.1f}")
    print()
    print("problems: " + ("; ".join(problems) if problems else "none"))


if __name__ == "__main__":
    main()
