#!/usr/bin/env python3
# SPDX-FileCopyrightText: 2026 The Pressly Pro developers
# SPDX-License-Identifier: GPL-3.0-or-later
"""Interrupts `pressly --in-place` with SIGINT or SIGTERM at random moments, again and again.

Each round optimizes a fresh copy of a sample of the corpus (a few images of every kind) with its own
HOME, XDG_CONFIG_HOME, XDG_DATA_HOME and TMPDIR, sends one signal after a random delay, and then
checks: the run ended within its time with 128 + the signal (or finished before it), every image is
byte-identical to its source or replaced by a sound smaller image whose original is in the Trash
byte for byte, nothing is left in the temporary directory or beside the images, and no process
started for the run is still alive.

Usage: bench/soak_kills.py CORPUS [--kills 100] [--pressly build/bin/pressly] [--seed N] [--keep]
Exits 1 when any round finds a problem.
"""
import argparse
import os
import random
import shutil
import signal
import subprocess
import sys
import tempfile
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
from soak import ENV_DIRS, HERE, IMAGE_EXTENSIONS, Facts, digest, read_trash, verify  # noqa: E402

PER_KIND = 3
# Small files keep a round short: an encode inside the program (HEIC, WebP) is not stopped, only waited for.
MAX_BYTES = 1_000_000
SIGNALS = (signal.SIGINT, signal.SIGTERM)
# From the signal to the exit: the tools' grace, an encode under way and the end of a replacement.
STOP_SECONDS = 60


def sample(corpus):
    """A few images of each kind folder, small enough that a round is quick."""
    chosen = []
    for folder in sorted(p for p in corpus.iterdir() if p.is_dir() and p.name != "odd"):
        images = sorted(p for p in folder.iterdir()
                        if p.suffix.lower().lstrip(".") in IMAGE_EXTENSIONS and p.stat().st_size <= MAX_BYTES)
        chosen += images[:PER_KIND]
    return chosen


def processes_of(root):
    """Processes whose command line or environment names the round's folder."""
    mark = str(root).encode()
    found = []
    for entry in os.listdir("/proc"):
        if not entry.isdigit() or int(entry) == os.getpid():
            continue
        for part in ("cmdline", "environ"):
            try:
                if mark in Path("/proc", entry, part).read_bytes():
                    found.append(f"{entry} {Path('/proc', entry, 'cmdline').read_bytes()[:120]!r}")
                    break
            except OSError:
                pass
    return found


def check(root, tree, sources, facts):
    problems = []
    trash, strays = read_trash(root / "data")
    problems += strays
    replaced = 0
    for rel, (source, size, sha) in sources.items():
        path = tree / rel
        trashed = trash.pop(str(path), [])
        here = path.is_file() and not path.is_symlink()
        if not here:
            problems.append(f"LOST: {rel} is not at its path (Trash holds {len(trashed)})")
            continue
        if path.stat().st_size == size and digest(path) == sha:
            if trashed:
                problems.append(f"the Trash holds a copy of unchanged {rel}")
            continue
        if len(trashed) != 1 or digest(trashed[0]) != sha:
            problems.append(f"DAMAGED: {rel} changed without its original in the Trash")
            continue
        error = verify(path, source, facts)
        if error:
            problems.append(f"DAMAGED: {rel}: {error}")
        replaced += 1
    problems += [f"the Trash holds {p} that was not replaced" for p in trash]
    known = {str(tree / rel) for rel in sources}
    for folder, _, names in os.walk(tree):
        problems += [f"left in the folders: {name}" for name in names if str(Path(folder) / name) not in known]
    for folder, dirs, names in os.walk(root / "tmp"):
        problems += [f"left in TMPDIR: {name}" for name in names + dirs]
    return replaced, problems


def round_once(number, images, work, args, facts, rng):
    root = work / f"round-{number}"
    tree = root / "images"
    sources = {}
    for image in images:
        rel = Path(image.parent.name) / image.name
        (tree / rel.parent).mkdir(parents=True, exist_ok=True)
        shutil.copyfile(image, tree / rel)
        sources[rel] = (image, image.stat().st_size, digest(image))
    env = dict(os.environ)
    for name, folder in ENV_DIRS.items():
        (root / folder).mkdir(parents=True, exist_ok=True)
        env[name] = str(root / folder)
    preset = rng.choice(("lossless", "balanced", "maximum"))
    sig = rng.choice(SIGNALS)
    delay = rng.uniform(0.05, args.max_delay)
    cmd = [str(args.pressly), "--in-place", "--quiet", "--preset", preset, "--jobs", "2", str(tree)]
    with open(root / "stderr.log", "wb") as log:
        proc = subprocess.Popen(cmd, env=env, cwd=root, stdout=subprocess.DEVNULL, stderr=log)
        time.sleep(delay)
        finished_first = proc.poll() is not None
        if not finished_first:
            proc.send_signal(sig)
        signalled = time.monotonic()
        try:
            status = proc.wait(timeout=STOP_SECONDS)
        except subprocess.TimeoutExpired:
            proc.kill()
            proc.wait()
            return 0, [f"round {number}: still running {STOP_SECONDS} s after {sig.name}"], finished_first, 0.0
    stop_seconds = time.monotonic() - signalled
    problems = []
    # A signal before the program set up its handling ends it at once, before it made anything.
    allowed = {0, 1} if finished_first else {128 + sig, -sig, 0, 1}
    if status not in allowed:
        problems.append(f"exit status {status} after {sig.name} at {delay:.2f} s ({preset})")
    replaced, found = check(root, tree, sources, facts)
    problems += found
    alive = processes_of(root)
    problems += [f"alive after the run: {p}" for p in alive]
    for p in alive:
        os.kill(int(p.split()[0]), signal.SIGKILL)
    if not problems and not args.keep:
        shutil.rmtree(root, ignore_errors=True)
    return replaced, [f"round {number} ({sig.name} at {delay:.2f} s, {preset}): {p}" for p in problems], \
        finished_first, stop_seconds


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("corpus", type=Path)
    parser.add_argument("--kills", type=int, default=100, help="rounds to run (CI: 100; by hand: 1000)")
    parser.add_argument("--pressly", type=Path, default=HERE / "build" / "bin" / "pressly")
    parser.add_argument("--max-delay", type=float, default=1.5, help="latest moment of the signal, in seconds")
    parser.add_argument("--seed", type=int, default=None)
    parser.add_argument("--keep", action="store_true", help="keep every round's folder")
    args = parser.parse_args()
    args.pressly = args.pressly.resolve()
    if not args.corpus.is_dir():
        parser.error(f"no corpus folder at {args.corpus}")
    seed = args.seed if args.seed is not None else random.randrange(1 << 30)
    rng = random.Random(seed)
    images = sample(args.corpus.resolve())
    work = Path(tempfile.mkdtemp(prefix="pressly-kills."))
    facts = Facts()
    start = time.monotonic()
    problems, replaced, early, slowest = [], 0, 0, 0.0
    print(f"== {args.kills} interrupted runs on {len(images)} images (seed {seed})", flush=True)
    for number in range(1, args.kills + 1):
        got, found, finished_first, stop_seconds = round_once(number, images, work, args, facts, rng)
        slowest = max(slowest, stop_seconds)
        replaced += got
        early += 1 if finished_first else 0
        problems += found
        for problem in found:
            print(f"  PROBLEM: {problem}", flush=True)
    seconds = time.monotonic() - start
    print(f"kills: {args.kills} runs ({early} finished before the signal), {replaced} files replaced "
          f"before a stop, slowest stop {slowest:.1f} s, {len(problems)} problems, {seconds:.0f} s")
    if problems or args.keep:
        print(f"work folder kept: {work}")
    else:
        shutil.rmtree(work, ignore_errors=True)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
