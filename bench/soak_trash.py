# SPDX-FileCopyrightText: 2026 The Pressly Pro developers
# SPDX-License-Identifier: GPL-3.0-or-later
"""Soak checks of the Trash under pressure, called by soak.py.

Two short `pressly --in-place` runs on a few corpus images: one whose folders and Trash share a small, nearly full
file system (tmpfs; needs root, else skipped with a message), one with a file whose name is as long as a name can be.
Each job's report must agree with the disk: a file reported as made smaller is smaller at its path with its original
in the Trash under a complete .trashinfo; any other file is byte for byte unchanged and not in the Trash.
"""
import json
import os
import shutil
import subprocess
from pathlib import Path

import soak

PICK = 4
LONG_NAME_BYTES = 255


def pick_images(corpus_copy):
    """A few small PNG and JPEG files, the same every run."""
    found = []
    for folder, _, names in sorted(os.walk(corpus_copy)):
        if Path(folder).relative_to(corpus_copy).parts[:1] in (("odd",), ("bombs",)):
            continue
        for name in sorted(names):
            path = Path(folder) / name
            if path.suffix.lower() in (".png", ".jpg", ".jpeg") and path.stat().st_size < 300_000:
                found.append(path)
    return found[:PICK]


def run_and_check(label, root, tree, pressly, tmp):
    """Runs pressly on `tree` with its own folders under `root`; answers the problems found."""
    sources = {p: (p.stat().st_size, soak.digest(p)) for p in tree.iterdir()}
    env = dict(os.environ)
    for name, folder in soak.ENV_DIRS.items():
        (root / folder).mkdir(parents=True, exist_ok=True)
        env[name] = str(root / folder)
    # The tools' working copies live elsewhere: the pressure is on the folders and the Trash.
    tmp.mkdir(parents=True, exist_ok=True)
    env["TMPDIR"] = str(tmp)
    proc = subprocess.run([str(pressly), "--in-place", "--json", str(tree)], env=env, cwd=root,
                          stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
    jobs = {}
    for line in proc.stdout.decode(errors="replace").splitlines():
        record = json.loads(line)
        if "file" in record:
            jobs[record["file"]] = record
    trash, problems = soak.read_trash(root / "data")
    info = root / "data" / "Trash" / "info"
    for record in info.iterdir() if info.is_dir() else []:
        if record.stat().st_size == 0 or len(os.fsencode(record.name)) > 255:
            problems.append(f"unusable Trash record {record.name[:40]}…")
    failed = 0
    for path, (size, sha) in sources.items():
        job, trashed = jobs.get(str(path)), trash.pop(str(path), [])
        failed += 1 if job and job["status"] == "failed" else 0
        smaller = bool(job and job["status"] == "completed" and job["optimizedSize"] < job["originalSize"])
        same = path.is_file() and soak.digest(path) == sha
        originals = [t for t in trashed if soak.digest(t) == sha]
        if job is None:
            problems.append(f"no job reported for {path.name[:40]}")
        elif smaller and (same or not path.is_file() or path.stat().st_size >= size or len(originals) != 1):
            problems.append(f"reported smaller, but the disk disagrees: {path.name[:40]}")
        elif not smaller and (not same or trashed):
            problems.append(f"reported {job['status']} without a saving, but the file changed: {path.name[:40]}")
    problems += [f"the Trash holds something not replaced: {p[:60]}" for p in trash]
    problems += [f"left in the folder: {p.name[:40]}" for p in tree.iterdir() if p not in sources]
    if proc.returncode != (1 if failed else 0):
        problems.append(f"exit status {proc.returncode} with {failed} failed jobs")
    print(f"== trash, {label}: {len(sources)} files, {failed} failed, {len(problems)} problems", flush=True)
    return [f"{label}: {p}" for p in problems]


def nearly_full(images, work, pressly, label, free_inodes=None):
    """Short of space, or of inodes when `free_inodes` is given: some replacements must fail, cleanly."""
    root = work / label.replace(" ", "-")
    root.mkdir()
    if subprocess.run(["mount", "-t", "tmpfs", "-o", "size=4m,nr_inodes=200", "tmpfs", str(root)],
                      stderr=subprocess.DEVNULL).returncode != 0:
        print(f"== trash, {label}: skipped (no tmpfs can be mounted here; needs root)")
        return []
    try:
        tree = root / "images"
        tree.mkdir()
        for image in images:
            shutil.copyfile(image, tree / image.name)
        if free_inodes is None:
            # Room for about half of the new versions.
            free = shutil.disk_usage(root).free - sum(i.stat().st_size for i in images) // 2
            (root / "filler").write_bytes(b"\0" * max(free, 0))
        else:
            for folder in ("data/Trash/files", "data/Trash/info", "data/Pressly Pro/replacements"):
                (root / folder).mkdir(parents=True)
            while os.statvfs(root).f_ffree > free_inodes:
                (root / f"filler{os.statvfs(root).f_ffree}").touch()
        return run_and_check(label, root, tree, pressly, work / (label + " tmp"))
    finally:
        subprocess.run(["umount", "-l", str(root)])


def long_name(images, work, pressly):
    root = work / "trash-long"
    tree = root / "images"
    tree.mkdir(parents=True)
    for n, image in enumerate(images):
        suffix = image.suffix.lower()
        name = (f"{n}" + "é" * 200).encode()[:LONG_NAME_BYTES - len(suffix)].decode(errors="ignore") + suffix
        shutil.copyfile(image, tree / name)
    return run_and_check("long names", root, tree, pressly, root / "tmp")


def check(corpus_copy, work, pressly):
    """Runs both checks; prints and answers whether any problem was found."""
    images = pick_images(corpus_copy)
    problems = (nearly_full(images, work, pressly, "nearly full") + nearly_full(images, work, pressly, "few inodes", 11)
                + long_name(images, work, pressly))
    for problem in problems:
        print(f"  PROBLEM: {problem}")
    return bool(problems)
