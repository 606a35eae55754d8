#!/usr/bin/env python3
"""How long the engine keeps its event loop (the window's drawing thread) from turning.

Runs build/bin/pressly_loopgap, which drives the job queue as the window does, over:
  - a copy of the corpus's images, replaced in place, then exported;
  - a drop of a folder of many small files (walk and job creation; the batch is shut
    down once every job has joined).
Reports the longest gap between ticks of a 5 ms timer on that loop (goal: below 50 ms), the
most processor time the loop's thread spent between two ticks (what a loaded machine cannot
inflate), the wall time and when the first job appeared.

Usage: bench/loop_gap.py CORPUS [--kinds png,jpeg,...] [--drop 20000] [--tool build/bin/pressly_loopgap]
"""
import argparse
import json
import os
import shutil
import subprocess
import tempfile
from pathlib import Path

HERE = Path(__file__).resolve().parent.parent
KINDS = ["png", "jpeg", "gif", "svg", "webp", "heic"]


def run(tool, folder, env, *extra):
    out = subprocess.run([tool, str(folder), *extra], env=env, check=True, capture_output=True, text=True).stdout
    return json.loads(out.strip().splitlines()[-1])


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("corpus", type=Path)
    parser.add_argument("--tool", default=str(HERE / "build/bin/pressly_loopgap"))
    parser.add_argument("--kinds", default=",".join(KINDS))
    parser.add_argument("--drop", type=int, default=20000)
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
    for name, row in rows.items():
        print(f"{name:>16}: longest gap {row['longest_gap_ms']} ms (of it, this thread's own work: at most "
              f"{row['longest_busy_ms']} ms), {row['jobs']} jobs ({row['failed']} failed), "
              f"first job after {row['first_job_ms']} ms, {row['wall_ms'] / 1000:.1f} s")


if __name__ == "__main__":
    main()
