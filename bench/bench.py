#!/usr/bin/env python3
# SPDX-FileCopyrightText: 2026 The Pressly Pro developers
# SPDX-License-Identifier: GPL-3.0-or-later
"""Benchmark of `pressly` on a folder of images (e.g. a corpus with png/, jpeg/ ... folders).

Measured in one run, so the figures are ratios that a noisy machine can still compare:
  - bytes saved per kind and preset (export mode, no cache), and the share of the work spent
    verifying results (verification time against the tools' CPU time; HEIC and WebP are
    encoded in-process, so their share reads high);
  - wall time of `pressly --export` against the same tool command lines run directly with
    the same parallelism (PNG only; the direct lines are those the PNG workers run);
  - JPEG under lossless: pressly's CPU time (with its tools) against jpegtran's alone, run over
    the same files with the command line the lossless JPEG worker uses;
  - wall time of a second, cached in-place run against the first, and the share of the first
    run's CPU time spent hashing files for the cache;
  - pressly's own peak memory (VmHWM of its process, children not counted).

Usage: bench/bench.py CORPUS [--pressly build/bin/pressly] [--kinds png,jpeg] [--presets lossless,balanced]
"""
import argparse
import concurrent.futures
import json
import os
import shutil
import subprocess
import sys
import tempfile
import threading
import time
from pathlib import Path

HERE = Path(__file__).resolve().parent.parent
KINDS = ["png", "jpeg", "gif", "svg", "webp", "heic"]
PRESETS = ["lossless", "balanced", "maximum"]


def isolated_env(root):
    env = dict(os.environ)
    for name in ("HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "TMPDIR"):
        path = Path(root) / name.lower()
        path.mkdir(parents=True, exist_ok=True)
        env[name] = str(path)
    return env


def run_measured(cmd, env, cpu=None):
    """Runs cmd; answers (seconds, own peak RSS in kB, stdout). `cpu`, a list, receives the CPU seconds
    of the process and of the children it waited for."""
    start = time.monotonic()
    proc = subprocess.Popen(cmd, env=env, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
    peak = [0]
    done = threading.Event()

    def sample():
        # Never proc.poll(): it would reap the process before wait4 can read its CPU time.
        status = Path(f"/proc/{proc.pid}/status")
        while not done.is_set():
            try:
                for line in status.read_text().splitlines():
                    if line.startswith("VmHWM:"):
                        peak[0] = max(peak[0], int(line.split()[1]))
            except OSError:
                pass
            time.sleep(0.02)

    sampler = threading.Thread(target=sample)
    sampler.start()
    out = proc.stdout.read()
    _, status, usage = os.wait4(proc.pid, 0)
    proc.returncode = os.waitstatus_to_exitcode(status)
    done.set()
    sampler.join()
    if cpu is not None:
        cpu.append(usage.ru_utime + usage.ru_stime)
    return time.monotonic() - start, peak[0], out.decode()


def summary_of(output):
    for line in output.splitlines():
        obj = json.loads(line)
        if "summary" in obj:
            return obj["summary"]
    raise RuntimeError("no summary in pressly's output")


def copy_kind(corpus, kind, dest):
    dest.mkdir(parents=True, exist_ok=True)
    for f in sorted((corpus / kind).iterdir()):
        if f.is_file():
            shutil.copy(f, dest / f.name)
            (dest / f.name).chmod(0o644)
    return dest


def oxipng_path():
    bundled = HERE / "build/share/pressly-pro/BundledTools/bin/oxipng"
    return str(bundled) if bundled.exists() else shutil.which("oxipng")


def direct_png(files, preset, workdir):
    """The PNG workers' command lines, run directly with the same parallelism."""
    level = {"lossless": 2, "balanced": 3, "maximum": 5}[preset]
    oxipng = oxipng_path()

    def one(index, src):
        current = src
        if preset != "lossless":
            quant = workdir / f"{index}.quant.png"
            minq = 75 if preset == "balanced" else 60
            subprocess.run(["nice", "-n", "10", "pngquant", "256", "--skip-if-larger", f"-s{min(7 - level, 3)}",
                            "--quality", f"{minq}-{min(minq + 20, 100)}", "--output", str(quant), str(current)],
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            if quant.exists():
                current = quant
        copy = workdir / f"{index}.copy.png"
        shutil.copy(current, copy)
        args = (["--strip=safe"] if preset == "maximum" else []) + [f"-o{level}", "-i0", "-a", "--out",
                                                                     str(workdir / f"{index}.out.png"), "--", str(copy)]
        subprocess.run(["nice", "-n", "10", oxipng] + args, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    start = time.monotonic()
    with concurrent.futures.ThreadPoolExecutor(max_workers=os.cpu_count()) as pool:
        list(pool.map(lambda pair: one(*pair), enumerate(files)))
    return time.monotonic() - start


def direct_jpegtran_cpu(files, workdir):
    """CPU seconds of jpegtran run directly over `files`, one after another."""
    total = 0.0
    for index, src in enumerate(files):
        proc = subprocess.Popen(["jpegtran", "-optimize", "-copy", "all", "-progressive", "-outfile",
                                 str(workdir / f"{index}.jpg"), str(src)], stderr=subprocess.DEVNULL)
        _, _, usage = os.wait4(proc.pid, 0)
        proc.returncode = 0
        total += usage.ru_utime + usage.ru_stime
    return total


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("corpus", type=Path)
    parser.add_argument("--pressly", default=str(HERE / "build/bin/pressly"))
    parser.add_argument("--kinds", default=",".join(KINDS))
    parser.add_argument("--presets", default=",".join(PRESETS))
    parser.add_argument("--rows-only", action="store_true", help="only the per-kind rows")
    args = parser.parse_args()
    kinds = [k for k in args.kinds.split(",") if (args.corpus / k).is_dir()]
    presets = args.presets.split(",")
    peak = 0
    largest = max((f.stat().st_size for k in kinds for f in (args.corpus / k).iterdir()), default=0)

    with tempfile.TemporaryDirectory(prefix="pressly-bench.") as root:
        root = Path(root)
        print(f"{'kind':<6} {'preset':<9} {'files':>5} {'failed':>6} {'before':>12} {'after':>12} {'saved':>7} "
              f"{'seconds':>8} {'verify':>7} {'tools':>7} {'own':>6} {'peakMB':>6}")
        verify_total = tools_total = 0.0
        for kind in kinds:
            for preset in presets:
                work = root / f"{kind}-{preset}"
                src = copy_kind(args.corpus, kind, work / "in")
                env = isolated_env(work / "home")
                cpu = []
                secs, rss, out = run_measured([args.pressly, "--export", str(work / "out"), "--preset", preset,
                                               "--no-cache", "--json", "--quiet", str(src)], env, cpu)
                peak = max(peak, rss)
                s = summary_of(out)
                verify_total += s.get("verificationSeconds", 0.0)
                tools_total += s.get("toolSeconds", 0.0)
                share = s.get("verificationSeconds", 0.0) / max(s.get("toolSeconds", 0.0) + s.get("verificationSeconds", 0.0), 1e-9)
                print(f"{kind:<6} {preset:<9} {s['files']:>5} {s['failed']:>6} {s['bytesBefore']:>12} "
                      f"{s['bytesAfter']:>12} {s['savedPercent']:>6.2f}% {secs:>8.2f} {share:>6.1%} "
                      f"{s.get('toolSeconds', 0.0):>7.2f} {cpu[0] - s.get('toolSeconds', 0.0):>6.2f} {rss / 1024:>6.1f}")
        print(f"verification: {verify_total:.1f} s against {tools_total:.1f} s of tool CPU time "
              f"({verify_total / max(verify_total + tools_total, 1e-9):.1%} of the work)")

        if args.rows_only:
            return
        if "png" in kinds:
            print()
            for preset in presets:
                work = root / f"speed-{preset}"
                src = copy_kind(args.corpus, "png", work / "in")
                env = isolated_env(work / "home")
                pressly_secs, rss, _ = run_measured([args.pressly, "--export", str(work / "out"), "--preset", preset,
                                                     "--no-cache", "--json", "--quiet", str(src)], env)
                peak = max(peak, rss)
                direct_dir = work / "direct"
                direct_dir.mkdir()
                direct_secs = direct_png(sorted(src.iterdir()), preset, direct_dir)
                print(f"png {preset:<9} pressly {pressly_secs:6.2f} s, tools run directly {direct_secs:6.2f} s: "
                      f"ratio {pressly_secs / direct_secs:.2f}")

        if "jpeg" in kinds:
            work = root / "jpeg-cpu"
            src = copy_kind(args.corpus, "jpeg", work / "in")
            cpu = []
            run_measured([args.pressly, "--export", str(work / "out"), "--preset", "lossless", "--no-cache",
                          "--json", "--quiet", str(src)], isolated_env(work / "home"), cpu)
            (work / "direct").mkdir()
            direct = direct_jpegtran_cpu(sorted(src.iterdir()), work / "direct")
            print(f"\njpeg lossless CPU: pressly {cpu[0]:.2f} s, jpegtran alone {direct:.2f} s: ratio {cpu[0] / direct:.2f}")

        work = root / "cached"
        src = Path(work / "in")
        for kind in kinds:
            copy_kind(args.corpus, kind, src)
        env = isolated_env(work / "home")
        first_cpu = []
        first, rss1, first_out = run_measured([args.pressly, "--in-place", "--json", "--quiet", str(src)], env,
                                              first_cpu)
        second, rss2, out = run_measured([args.pressly, "--in-place", "--json", "--quiet", str(src)], env)
        peak = max(peak, rss1, rss2)
        s = summary_of(out)
        print(f"\ncached second run (in place, {','.join(kinds)}): first {first:.2f} s, second {second:.2f} s: "
              f"ratio {second / first:.3f} ({s['skippedByCache']} of {s['files']} files from the cache); hashing "
              f"took {summary_of(first_out).get('hashSeconds', 0.0) / first_cpu[0]:.2%} of the first run's CPU time")
    print(f"pressly's own peak memory: {peak / 1024:.1f} MB (largest file {largest / 1e6:.1f} MB)")


if __name__ == "__main__":
    sys.exit(main())
