# SPDX-FileCopyrightText: 2026 The Pressly Pro developers
# SPDX-License-Identifier: GPL-3.0-or-later
"""Two `pressly --in-place` runs on one folder at once, as two windows of one user would, with
different presets: one lossless, one maximum, sharing the settings, the results cache and the Trash.

Nothing may be lost or damaged; a file is replaced at most once, so its one Trash entry is its
original byte for byte (never the other run's result); what the two runs report saved adds up to
what the disk shows. A file one run leaves to the other ("Left alone") is no failure here."""
import os
import subprocess
import time

import soak

PRESETS = ("lossless", "maximum")


def start(preset, tree, root, env, pressly):
    cmd = [str(pressly), "--in-place", "--json", "--preset", preset, str(tree)]
    log = open(root / f"stderr-{preset}.log", "wb")
    return subprocess.Popen(cmd, env=env, cwd=root, stdout=subprocess.PIPE, stderr=log), log


def run(corpus_copy, sources, work, pressly, facts):
    """Answers a soak table row, the failures and the problems found."""
    root = work / "two-runs"
    tree = root / "images"
    soak.copy_tree(corpus_copy, tree)
    env = dict(os.environ)
    for name, folder in soak.ENV_DIRS.items():
        (root / folder).mkdir(parents=True, exist_ok=True)
        env[name] = str(root / folder)

    begin = time.monotonic()
    runs = [start(preset, tree, root, env, pressly) for preset in PRESETS]
    problems, reports, peak = [], [], 0.0
    for proc, log in runs:
        out = proc.stdout.read()
        proc.stdout.close()
        _, status, usage = os.wait4(proc.pid, 0)
        proc.returncode = os.waitstatus_to_exitcode(status)
        log.close()
        peak = max(peak, usage.ru_maxrss / 1024)
        reports.append(soak.read_report(out, problems)[0])
        if proc.returncode not in (0, 1):
            problems.append(f"a run exited {proc.returncode}")

    trash, strays = soak.read_trash(root / "data")
    problems += strays
    row = dict(files=0, replaced=0, unchanged=0, failed=0, lost=0, damaged=0, before=0, after=0,
               seconds=time.monotonic() - begin, peak=peak)
    failures, reported_saved = [], 0
    for rel, (size, sha) in sorted(sources.items()):
        path = tree / rel
        if path.suffix.lower().lstrip(".") not in soak.IMAGE_EXTENSIONS:
            continue
        row["files"] += 1
        row["before"] += size
        for jobs in reports:
            job = jobs.get(str(path))
            if job is None:
                problems.append(f"no job reported for {rel}")
            elif soak.reported_smaller(job):
                reported_saved += job["originalSize"] - job["optimizedSize"]
            elif job.get("status") == "failed":
                error = job.get("error") or ""
                if "Left alone" in error:
                    continue
                allowed = rel.parts[0] in soak.EXPECTED_TO_FAIL
                row["failed"] += 1
                failures.append((rel, error, allowed))
                if not allowed:
                    problems.append(f"unexpected failure: {rel}: {error}")
        state, problem = soak.judge(rel, path, corpus_copy / rel, size, sha, trash.pop(str(path), []), facts)
        if problem:
            problems.append(problem)
        row[state] += 1
        row["after"] += path.stat().st_size if state in ("unchanged", "replaced") else 0
    for path, entries in sorted(trash.items()):
        problems.append(f"the Trash holds something that was not replaced: {path} ({len(entries)})")
    disk_saved = row["before"] - row["after"]
    if reported_saved != disk_saved:
        problems.append(f"the runs report {reported_saved:,} bytes saved, the disk shows {disk_saved:,}")
    return row, failures, problems
