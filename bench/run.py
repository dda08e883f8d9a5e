#!/usr/bin/env python3
"""Encoder benchmark: our core against cjpeg and ImageMagick/libpng, in one run.

Usage: bench/run.py [CORPUS_DIR] [--runs N] [--quality Q] [--encoder PATH] [--bench PATH]
CORPUS_DIR holds 8-bit binary PPMs (bench/make-corpus.sh makes them). For every image and
writer it prints bytes, PSNR (JPEG) or differing pixels (PNG) and the median time of N
runs of:
  - ours, in process: pelnoro_encoder_bench timing EncodeJpeg/EncodePng alone (median of
    three encodes per run; no process start, no file reading or writing);
  - ours, whole process: pelnoro-encode reading the PPM and writing the file;
  - the reference tool, whole process (cjpeg, or ImageMagick at zlib level 1, 6 or 9).
The three take turns run by run, so a machine that slows down mid-way slows all alike.
The last column is our in-process time over the reference's.
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
BENCH = os.path.join(HERE, "..", "build", "host", "bin", "pelnoro_encoder_bench")
CONVERT = "/usr/bin/convert"


def run_timed(cmd, stdout=None):
    start = time.perf_counter()
    with open(stdout, "wb") if stdout else open(os.devnull, "wb") as out:
        subprocess.run(cmd, check=True, stdout=out)
    return (time.perf_counter() - start) * 1000.0


def in_process(bench, writer, image, quality):
    """Median in-process time (ms) and bytes of one writer, from pelnoro_encoder_bench."""
    r = subprocess.run([bench, "--runs", "3", "--quality", str(quality), "--only", writer, image],
                       check=True, capture_output=True, text=True)
    for line in r.stdout.splitlines():
        m = re.search(re.escape(writer) + r"\s+(\d+)\s+([\d.]+)\s+([\d.]+)", line)
        if m:
            return float(m.group(2)), int(m.group(1))
    sys.exit(f"no figures for {writer} in: {r.stdout}")


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
    ap.add_argument("--bench", default=BENCH)
    args = ap.parse_args()
    images = sorted(f for f in os.listdir(args.corpus) if f.endswith(".ppm"))
    if not images:
        sys.exit("no .ppm files in " + args.corpus)
    tmp = tempfile.mkdtemp(prefix="pelnoro-bench-")
    q = str(args.quality)

    # (our name, bench writer, our command, reference name, reference command, reference
    # writes to stdout)
    jpeg_groups = [
        ("baseline", f"jpeg q{q} baseline",
         lambda i, o: [args.encoder, "jpeg", "--quality", q, i, o],
         "cjpeg", lambda i, o: ["cjpeg", "-quality", q, i], True),
        ("progressive", f"jpeg q{q} progressive",
         lambda i, o: [args.encoder, "jpeg", "--quality", q, "--progressive", i, o],
         "cjpeg -progressive", lambda i, o: ["cjpeg", "-quality", q, "-progressive", i], True),
    ]
    png_groups = [
        (f"{name} ({level})", f"png {name} ({level})",
         (lambda lv: lambda i, o: [args.encoder, "png", "--level", lv, i, o])(level),
         f"IM level {zlevel}",
         (lambda z: lambda i, o: [CONVERT, i, "-define", f"png:compression-level={z}", o])(zlevel),
         False)
        for name, level, zlevel in (("low", "1", 1), ("normal", "0", 6), ("highest", "2", 9))
    ]
    totals = {}
    problems = []

    def add(tool, size, ms, quality):
        t = totals.setdefault(tool, [0, 0.0, []])
        t[0] += size
        t[1] += ms
        t[2].append(quality)

    def measure(kind, groups, extension, quality_of, check, header):
        print(header)
        print(f"{'image':26} {'tool':28} {'bytes':>9} {kind:>8} {'ms':>8} {'ratio':>6}")
        for image in images:
            src = os.path.join(args.corpus, image)
            for n, (name, writer, ours, ref_name, ref, ref_stdout) in enumerate(groups):
                ours_out = os.path.join(tmp, f"ours{n}.{extension}")
                ref_out = os.path.join(tmp, f"ref{n}.{extension}")
                inner, whole, reference = [], [], []
                inner_bytes = 0
                for _ in range(args.runs):
                    ms, inner_bytes = in_process(args.bench, writer, src, args.quality)
                    inner.append(ms)
                    whole.append(run_timed(ours(src, ours_out)))
                    reference.append(run_timed(ref(src, ref_out), ref_out if ref_stdout else None))
                rows = [(f"ours {name}, in process", ours_out, statistics.median(inner)),
                        (f"ours {name}, process", ours_out, statistics.median(whole)),
                        (ref_name, ref_out, statistics.median(reference))]
                if os.path.getsize(ours_out) != inner_bytes:
                    problems.append(f"{image}: {name}: in-process and file sizes differ")
                for tool, path, ms in rows:
                    size = os.path.getsize(path)
                    value = quality_of(src, path)
                    if not check(path):
                        problems.append(f"{image}: {tool}: {'djpeg warning' if extension == 'jpg' else 'pngcheck failed'}")
                    add(tool, size, ms, value)
                    ratio = f"{rows[0][2] / ms:6.2f}" if tool == ref_name else ""
                    fmt = f"{value:8.3f}" if extension == "jpg" else f"{value:8d}"
                    print(f"{image:26} {tool:28} {size:9d} {fmt} {ms:8.2f} {ratio}")
        print()

    measure("PSNR dB", jpeg_groups, "jpg", psnr, djpeg_clean, f"JPEG, quality {q}, 4:2:0")
    measure("diff", png_groups, "png", differing_pixels, pngcheck_ok,
            "PNG (lossless; 'diff' counts pixels differing from the source)")
    print(f"Totals over {len(images)} images ({args.runs} runs each, median times summed)")
    print(f"{'tool':28} {'bytes':>10} {'mean PSNR / diff':>17} {'ms':>9}")
    for tool, (size, ms, quality) in totals.items():
        print(f"{tool:28} {size:10d} {statistics.mean(quality):17.3f} {ms:9.2f}")
    print()
    print("problems: " + ("; ".join(problems) if problems else "none"))


if __name__ == "__main__":
    main()
