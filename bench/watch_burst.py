#!/usr/bin/env python3
# SPDX-FileCopyrightText: 2026 The Pressly Pro developers
# SPDX-License-Identifier: GPL-3.0-or-later
"""Benchmark of a burst: N images (1,000 by default) copied into a watched folder at once.

Measured in one run, so the figures are ratios that a noisy machine can still compare:
  (a) `pressly --watch DIR --in-place` from the first copy until every file's result line is out,
      against `pressly --in-place` on the same files as one batch (goal: at most 1.1x; the watch
      run's time includes the settle time, --settle);
  (b) the watch run's resident memory over time (sampled every half second; flat is the goal);
  (c) with --window: the window (build/bin/pressly-pro-bench, PRESSLY_BENCH_WATCH) watching the
      folder through its settings, in a private HOME and XDG folders: its longest frame (goal
      at most 50 ms) and longest event-loop stall while the burst runs, and its memory.
      --xvfb draws it under Xvfb with OpenGL (llvmpipe), as bench/window_drop.py does.

The images: the files of CORPUS (any depth; the first N, repeated when there are fewer), or,
without it, copies of the small samples in tests/data, each under its own name.

Usage: bench/watch_burst.py [CORPUS] [--files 1000] [--settle 1] [--preset lossless] [--jobs N]
                            [--window | --window-only] [--xvfb] [--slow-events] [--pressly build/bin/pressly]
                            [--bench build/bin/pressly-pro-bench]
"""
import argparse
import json
import os
import re
import shutil
import subprocess
import tempfile
import threading
import time
from pathlib import Path

HERE = Path(__file__).resolve().parent.parent
SAMPLES = ["png/adwaita-24x24-legacy-view-restore.png", "png/pingus-flag3.png", "png/imagemagick-objects.png",
           "gif/imagemagick-smile.gif", "jpeg/pingus-rocktile.jpg"]
SUFFIXES = {".png", ".jpg", ".jpeg", ".gif", ".svg", ".webp", ".heic"}


def private_env(home):
    env = dict(os.environ)
    for name in ("HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "TMPDIR", "XDG_RUNTIME_DIR"):
        path = home / name.lower()
        path.mkdir(parents=True, exist_ok=True)
        env[name] = str(path)
    os.chmod(home / "xdg_runtime_dir", 0o700)
    return env


def make_source(corpus, count, folder):
    """The N files to copy, named image-00000... in one folder (nothing is read from the corpus later)."""
    if corpus:
        found = sorted(p for p in Path(corpus).rglob("*") if p.is_file() and p.suffix.lower() in SUFFIXES)
    else:
        found = [HERE / "tests/data" / s for s in SAMPLES]
    if not found:
        raise SystemExit(f"no images in {corpus}")
    folder.mkdir(parents=True)
    for i in range(count):
        sample = found[i % len(found)]
        shutil.copyfile(sample, folder / f"image-{i:05d}{sample.suffix.lower()}")
    return sorted(folder.iterdir())


def copy_all(files, folder):
    for file in files:
        shutil.copyfile(file, folder / file.name)


class RssSampler(threading.Thread):
    def __init__(self, pid, start):
        super().__init__(daemon=True)
        self.pid, self.start_time, self.samples, self.done = pid, start, [], threading.Event()

    def run(self):
        status = Path(f"/proc/{self.pid}/status")
        while not self.done.is_set():
            try:
                rss = next(int(line.split()[1]) for line in status.read_text().splitlines()
                           if line.startswith("VmRSS:"))
                self.samples.append((round(time.monotonic() - self.start_time, 1), rss))
            except (OSError, StopIteration):
                return
            self.done.wait(0.5)


def batch_seconds(args, files, home):
    env = private_env(home)
    folder = home / "batch"
    folder.mkdir()
    copy_all(files, folder)
    start = time.monotonic()
    subprocess.run([args.pressly, "--in-place", "--no-cache", "--preset", args.preset, "--json", *args.jobs,
                    str(folder)], env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, check=False)
    return time.monotonic() - start


def watch_run(args, files, home):
    env = private_env(home)
    folder = home / "watched"
    folder.mkdir()
    proc = subprocess.Popen([args.pressly, "--watch", str(folder), "--in-place", "--no-cache", "--preset",
                             args.preset, "--settle", str(args.settle), "--json", *args.jobs],
                            env=env, stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
    while "watching" not in proc.stderr.readline():
        if proc.poll() is not None:
            raise SystemExit("pressly --watch did not start")
    threading.Thread(target=proc.stderr.read, daemon=True).start()
    start = time.monotonic()
    sampler = RssSampler(proc.pid, start)
    sampler.start()
    copy_all(files, folder)
    copied = time.monotonic() - start
    results = 0
    while results < len(files):
        line = proc.stdout.readline()
        if not line:
            break
        results += '"file"' in line
    seconds = time.monotonic() - start
    sampler.done.set()
    proc.terminate()
    proc.wait()
    return seconds, copied, results, sampler.samples


def ini_string(text):
    return '"' + text.replace("\\", "\\\\").replace('"', '\\"') + '"'


def window_run(args, files, home):
    env = private_env(home)
    folder, out = home / "watched", home / "out"
    folder.mkdir()
    out.mkdir()
    watched = json.dumps([{"path": str(folder), "mode": "optimizeOriginals", "preset": args.preset}])
    settings = home / "xdg_config_home/Pressly/Pressly Pro.conf"
    settings.parent.mkdir(parents=True)
    settings.write_text(f"[General]\nwatchedFolders={ini_string(watched)}\n")
    env.update(PRESSLY_BENCH_WATCH=str(len(files)), QT_QPA_PLATFORM="xcb" if args.xvfb else "offscreen")
    command = [args.bench, str(folder), str(out)]
    if args.xvfb:
        command = ["xvfb-run", "-a", "-s", "-screen 0 1320x840x24"] + command
    proc = subprocess.Popen(command, env=env, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True)
    err = []
    for line in proc.stderr:
        err.append(line)
        if line.startswith("dropped at"):
            break
    start = time.monotonic()
    copy_all(files, folder)
    copied = time.monotonic() - start
    err += proc.stderr.readlines()
    proc.wait()
    text = "".join(err)
    starts = [m.start() for m in re.finditer(r"(?m)^\{", text)]
    if not starts:
        raise SystemExit("the window gave no figures:\n" + text[-3000:])
    figures = json.loads(text[starts[-1]:])
    if args.slow_events:
        print("\n".join(line for line in text.splitlines() if line.startswith(("slow event", "dropped at"))))
    keep = ("jobs", "jobs_completed", "batch_seconds", "longest_frame_ms", "longest_event_loop_stall_ms",
            "rss_after_1000_jobs_kb", "rss_at_end_kb", "peak_rss_kb")
    return {"copy_seconds": round(copied, 2), **{k: figures.get(k) for k in keep},
            "stalls_over_50_ms": len(figures.get("stalls_over_50_ms", []))}


def command_line_runs(args, files, root):
    batch = batch_seconds(args, files, root / "batch-home")
    seconds, copied, results, rss = watch_run(args, files, root / "watch-home")
    return {"batch_seconds": round(batch, 2), "watch_seconds": round(seconds, 2),
            "watch_copy_seconds": round(copied, 2), "watch_results": results,
            "watch_against_batch": round(seconds / batch, 3), "watch_settle_seconds": args.settle,
            "watch_rss_kb": {"first": rss[0][1] if rss else None, "most": max((r for _, r in rss), default=None),
                             "last": rss[-1][1] if rss else None, "every_5_s": [r for _, r in rss[::10]]}}


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("corpus", nargs="?")
    parser.add_argument("--files", type=int, default=1000)
    parser.add_argument("--settle", type=float, default=1.0)
    parser.add_argument("--preset", default="lossless")
    parser.add_argument("--jobs", type=int, default=0)
    parser.add_argument("--window", action="store_true")
    parser.add_argument("--xvfb", action="store_true")
    parser.add_argument("--window-only", action="store_true", help="only the window's run")
    parser.add_argument("--slow-events", action="store_true", help="also list each window event of 40 ms or more")
    parser.add_argument("--pressly", default=str(HERE / "build/bin/pressly"))
    parser.add_argument("--bench", default=str(HERE / "build/bin/pressly-pro-bench"))
    args = parser.parse_args()
    args.jobs = ["--jobs", str(args.jobs)] if args.jobs else []
    figures = {}
    with tempfile.TemporaryDirectory(prefix="pressly-watch-burst.") as root:
        root = Path(root)
        files = make_source(args.corpus, args.files, root / "source")
        figures["files"] = len(files)
        if not args.window_only:
            figures.update(command_line_runs(args, files, root))
        if args.window or args.window_only:
            figures["window"] = window_run(args, files, root / "window-home")
    print(json.dumps(figures, indent=2))
    return 0


if __name__ == "__main__":
    raise SystemExit(main())
