#!/usr/bin/env python3
# SPDX-FileCopyrightText: 2026 The Pressly Pro developers
# SPDX-License-Identifier: GPL-3.0-or-later
"""How long the engine keeps its event loop (the window's drawing thread) from turning.

Runs build/bin/pressly_loopgap, which drives the job queue as the window does, over:
  - a copy of the corpus's images, replaced in place, then exported;
  - a drop of a folder of many small files (walk and job creation; the batch is shut
    down once every job has joined);
  - with --slow-disk N: N of the images on a slow disk (build/lib/libpressly_slowdisk.so makes
    every open, stat and read there wait 200 ms; the working copies are there too), replaced in
    place; the stacks of any such
    call made on the loop's thread are printed.
Reports the longest gap between ticks of a 5 ms timer on that loop (goal: below 50 ms), the
most processor time the loop's thread spent between two ticks (what a loaded machine cannot
inflate), the wall time and when the first job appeared.

Usage: bench/loop_gap.py CORPUS [--kinds png,jpeg,...] [--drop 20000] [--slow-disk 12]
                          [--tool build/bin/pressly_loopgap]
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
KINDS = ["png", "jpeg", "gif", "svg", "webp", "heic"]


def run(tool, folder, env, *extra):
    out = subprocess.run([tool, str(folder), *extra], env=env, check=True, capture_output=True, text=True).stdout
    return json.loads(out.strip().splitlines()[-1])


def symbolized(stack):
    """The first frames of a stack from backtrace_symbols_fd, named by addr2line where needed."""
    names = []
    for line in stack.splitlines()[1:]:
        frame = re.match(r"(.*)\((.*?)\+0x([0-9a-f]+)\)\[", line)
        if not frame or "slowdisk" in frame.group(1):
            continue
        path, symbol, offset = frame.groups()
        if not symbol:
            symbol = subprocess.run(["addr2line", "-f", "-C", "-e", path, "0x" + offset],
                                    capture_output=True, text=True).stdout.split("\n")[0]
        names.append(symbol[:100])
    return stack.splitlines()[0] + ":\n    " + "\n    ".join(names[:8])


def run_on_slow_disk(tool, images, env, count):
    """A few of the images, in place, where every file operation waits; prints what waited on the loop."""
    slow = images.parent / "slow"
    (slow / "images").mkdir(parents=True)
    (slow / "tmp").mkdir()
    for path in sorted(p for p in images.rglob("*") if p.is_file())[:count]:
        shutil.copyfile(path, slow / "images" / path.name)
    # Our working copies are on the slow disk too, as on a machine whose /tmp is.
    env = dict(env, LD_PRELOAD=str(HERE / "build/lib/libpressly_slowdisk.so"), SLOW_DISK_DIR=str(slow),
               SLOW_DISK_TRACE="1", TMPDIR=str(slow / "tmp"))
    done = subprocess.run([tool, str(slow / "images")], env=env, check=True, capture_output=True, text=True)
    stacks = [symbolized(stack) for stack in done.stderr.split("slow disk: ")[1:]]
    for stack in sorted(set(stacks)):
        print(f"waited on the loop's thread ({stacks.count(stack)}x): {stack}\n")
    return json.loads(done.stdout.strip().splitlines()[-1])


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("corpus", type=Path)
    parser.add_argument("--tool", default=str(HERE / "build/bin/pressly_loopgap"))
    parser.add_argument("--kinds", default=",".join(KINDS))
    parser.add_argument("--drop", type=int, default=20000)
    parser.add_argument("--slow-disk", type=int, default=0, metavar="N")
    args = parser.parse_args()
    with tempfile.TemporaryDirectory() as root:
        root = Path(root)
        env = dict(os.environ)
        for name in ("HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "TMPDIR"):
            (root / name.lower()).mkdir()
            env[name] = str(root / name.lower())
        images = root / "images"
        for kind in args.kinds.split(","):
            if (args.corpus / kind).is_dir():
                shutil.copytree(args.corpus / kind, images / kind)
        rows = {"in place": run(args.tool, images, env)}
        for kind in args.kinds.split(","):
            if (args.corpus / kind).is_dir():
                shutil.rmtree(images / kind)
                shutil.copytree(args.corpus / kind, images / kind)
        rows["export"] = run(args.tool, images, env, "--export", str(root / "export"))
        drop = root / "drop"
        drop.mkdir()
        sample = next((images / "png").glob("*.png"), None) if (images / "png").is_dir() else None
        data = sample.read_bytes() if sample else b"\x89PNG\r\n\x1a\n"
        for i in range(args.drop):
            (drop / f"{i:06d}.png").write_bytes(data)
        rows[f"drop of {args.drop}"] = run(args.tool, drop, env, "--intake-only", "1")
        if args.slow_disk:
            rows["slow disk"] = run_on_slow_disk(args.tool, images, env, args.slow_disk)
    for name, row in rows.items():
        print(f"{name:>16}: longest gap {row['longest_gap_ms']} ms (of it, this thread's own work: at most "
              f"{row['longest_busy_ms']} ms), {row['jobs']} jobs ({row['failed']} failed), "
              f"first job after {row['first_job_ms']} ms, {row['wall_ms'] / 1000:.1f} s"
              + (f", {row['loop_disk_waits']} looks at the slow disk from the loop" if "loop_disk_waits" in row else ""))


if __name__ == "__main__":
    main()
