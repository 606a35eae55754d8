#!/usr/bin/env python3
# SPDX-FileCopyrightText: 2026 The Pressly Pro developers
# SPDX-License-Identifier: GPL-3.0-or-later
"""Benchmark of the window under one large drop: a folder of N small images (copies of the
small samples in tests/data, each under its own name) dropped on the window in export mode.

Reports, from one run of build/bin/pressly-pro-bench (offscreen by default):
  - the time from the drop to the first frame drawn after it;
  - the longest gap between frames, and the longest stall of the event loop, during the batch
    (a redraw is asked every 16 ms, so a long gap means the window could not draw);
  - the window process's resident memory after 1,000 jobs and at the end, and its peak;
  - then, with the cards fanned out into the grid, the longest frame while the grid scrolls down
    (60 px every 16 ms, at most 20 s) with every card's picture loading, and the most resident
    memory meanwhile (bounded by the picture cache, whatever the number of cards).
Goal on a 2-core machine: no frame longer than 50 ms; memory flat after the first thousand jobs.

With --grid-open the grid is open while the batch runs and nothing but the window asks for frames
(no forced redraw): every job that ends changes the panel, so a frame must follow it. Reports the
longest time from a job's end to the next frame; exits 1 when it passes --max-no-frame seconds
(the scene stopped updating while jobs finished). --large drops large photographs instead,
--mixed large photographs between small pictures, and
--xvfb runs the window under Xvfb (xcb, OpenGL, its threaded render loop) at --size.

On a busy machine the whole batch takes long; --stop-after N cancels it once N jobs are done (the
drop itself, all N files' jobs, is still measured in full).

Usage: bench/window_drop.py [--files 10000] [--stop-after N] [--bench build/bin/pressly-pro-bench]
                            [--platform offscreen] [--slow-events] [--grid-open] [--large | --mixed]
                            [--xvfb] [--size 2560x1440] [--max-no-frame 1.0]
"""
import argparse
import json
import os
import re
import shutil
import subprocess
import tempfile
from pathlib import Path

HERE = Path(__file__).resolve().parent.parent
SAMPLES = ["png/adwaita-24x24-legacy-view-restore.png", "png/pingus-flag3.png", "png/imagemagick-objects.png",
           "gif/imagemagick-smile.gif", "svg/twemoji-1f534.svg"]
LARGE = ["png/debian-grub-16x9.png", "jpeg/skimage-rocket.jpg", "jpeg/pingus-clouds.jpg"]


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--files", type=int, default=10000)
    parser.add_argument("--bench", default=str(HERE / "build/bin/pressly-pro-bench"))
    parser.add_argument("--platform", default="offscreen")
    parser.add_argument("--stop-after", type=int, default=0)
    parser.add_argument("--slow-events", action="store_true", help="also list each event that took 40 ms or more")
    parser.add_argument("--grid-open", action="store_true")
    parser.add_argument("--large", action="store_true")
    parser.add_argument("--mixed", action="store_true", help="large photographs between small pictures")
    parser.add_argument("--huge", action="store_true",
                        help="camera-sized photographs (about 24 MP, made with the vips command) between small pictures")
    parser.add_argument("--xvfb", action="store_true")
    parser.add_argument("--size", default="")
    parser.add_argument("--max-no-frame", type=float, default=1.0)
    args = parser.parse_args()
    samples = [s for pair in zip(LARGE, SAMPLES) for s in pair] if args.mixed else LARGE if args.large else SAMPLES

    with tempfile.TemporaryDirectory(prefix="pressly-window-bench.") as home:
        home = Path(home)
        folder, out = home / "drop", home / "out"
        for sub in ("data", "config", "tmp", "runtime"):
            (home / sub).mkdir()
        os.chmod(home / "runtime", 0o700)
        folder.mkdir()
        out.mkdir()
        if args.huge:
            made = home / "huge"
            made.mkdir()
            samples = []
            for name, factor in (("jpeg/skimage-rocket.jpg", 9), ("png/debian-grub-16x9.png", 3)):
                target = made / Path(name).name
                subprocess.run(["vips", "resize", str(HERE / "tests/data" / name), str(target), str(factor)], check=True)
                samples += [target, HERE / "tests/data" / SAMPLES[len(samples) % len(SAMPLES)]]
        for i in range(args.files):
            sample = HERE / "tests/data" / samples[i % len(samples)]
            shutil.copyfile(sample, folder / f"image-{i:05d}{sample.suffix}")
        env = dict(os.environ, XDG_DATA_HOME=str(home / "data"), XDG_CONFIG_HOME=str(home / "config"),
                   TMPDIR=str(home / "tmp"), XDG_RUNTIME_DIR=str(home / "runtime"),
                   QT_QPA_PLATFORM="xcb" if args.xvfb else args.platform)
        if args.grid_open:
            env["PRESSLY_BENCH_GRID"] = "1"
        if args.size:
            env["PRESSLY_BENCH_SIZE"] = args.size
        command = [args.bench, str(folder), str(out), str(args.stop_after)]
        if args.xvfb:
            width, height = (int(v) for v in (args.size or "1280x800").split("x"))
            command = ["xvfb-run", "-a", "-s", f"-screen 0 {width + 40}x{height + 40}x24"] + command
        run = subprocess.run(command, env=env, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True, check=True)
        # The figures are the last top-level JSON object; nested ones are indented.
        start = [m.start() for m in re.finditer(r"(?m)^\{", run.stderr)][-1]
        figures = json.loads(run.stderr[start:])
        if args.slow_events:
            print("\n".join(line for line in run.stderr.splitlines() if line.startswith(("slow event", "dropped at"))))
    print(json.dumps(figures, indent=2))
    if args.grid_open:
        undrawn = figures.get("longest_no_new_frame_after_job_ended_s", 0.0)
        print(f"longest time without a new frame after a job ended: {undrawn:.2f} s")
        if undrawn > args.max_no_frame:
            print(f"FAIL: the scene stopped updating for {undrawn:.2f} s while jobs finished")
            return 1
    return 0


if __name__ == "__main__":
    raise SystemExit(main())
