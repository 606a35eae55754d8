#!/usr/bin/env python3
# SPDX-FileCopyrightText: 2026 The Pressly Pro developers
# SPDX-License-Identifier: GPL-3.0-or-later
"""Soak test of `pressly --in-place` on a copy of a corpus: nothing may be lost or damaged.

For each preset a fresh copy of the corpus (every subfolder) is optimized in place with its own
HOME, XDG_CONFIG_HOME, XDG_DATA_HOME and TMPDIR. Then every file must be either byte-identical to
its source, or replaced by a smaller image of the same kind with the same displayed size (EXIF
orientation applied), the same number of frames and its colour profile, whose original is in the
Trash byte for byte with a .trashinfo naming its path. No temporary file may be left behind, and
the exit status must agree with the failed jobs. Failures are expected only for the corpus's odd/
files and for kinds that have no tool yet ("Unsupported file type").

Every round also holds decompression bombs (bombs/): each must be refused by its size, and the run
with its tools must stay under a memory bound (peak MB in the table).

Usage: bench/soak.py CORPUS [--presets lossless,maximum] [--liars PRESET] [--two-runs]
                     [--pressly build/bin/pressly] [--jobs N] [--keep]
Exits 1 when anything is lost, damaged or left over, or the run disagrees with its own report.
"""
import argparse
import hashlib
import json
import os
import shutil
import struct
import subprocess
import sys
import tempfile
import time
import xml.etree.ElementTree as ET
import zlib

import soak_trash
from pathlib import Path
from urllib.parse import unquote

import soak_svg
import soak_bombs
import soak_files
import soak_liars
import soak_raster
import soak_twice

HERE = Path(__file__).resolve().parent.parent
IMAGE_EXTENSIONS = {"png", "jpg", "jpeg", "gif", "svg", "webp", "heic", "heif", "dng"}
# Odd files may be refused; bombs must be.
EXPECTED_TO_FAIL = ("odd", "bombs")
ENV_DIRS = {"HOME": "home", "XDG_CONFIG_HOME": "config", "XDG_DATA_HOME": "data", "TMPDIR": "tmp"}


def digest(path):
    h = hashlib.sha256()
    with open(path, "rb") as f:
        for block in iter(lambda: f.read(1 << 20), b""):
            h.update(block)
    return h.hexdigest()


def kind_of(path):
    head = Path(path).read_bytes()[:200]
    if head.startswith(b"\x89PNG\r\n\x1a\n"):
        return "png"
    if head.startswith(b"\xff\xd8\xff"):
        return "jpeg"
    if head[:6] in (b"GIF87a", b"GIF89a"):
        return "gif"
    if head[:4] == b"RIFF" and head[8:12] == b"WEBP":
        return "webp"
    if head[4:8] == b"ftyp" and head[8:12] in (b"heic", b"heix", b"mif1"):
        return "heic"
    if b"<svg" in head.lower() or (b"<?xml" in head and b"svg" in head.lower()):
        return "svg"
    return None


def copy_tree(source, target):
    """Copies every file as a plain writable file; folders get ordinary permissions."""
    for folder, _, names in os.walk(source):
        rel = Path(folder).relative_to(source)
        (target / rel).mkdir(parents=True, exist_ok=True)
        for name in names:
            shutil.copyfile(Path(folder) / name, target / rel / name)


def png_chunks(path):
    """The chunks before the image data: type to contents."""
    data = Path(path).read_bytes()
    chunks, pos = {}, 8
    while pos + 8 <= len(data):
        length, ctype = struct.unpack(">I4s", data[pos:pos + 8])
        if ctype in (b"IDAT", b"IEND"):
            break
        chunks.setdefault(ctype, data[pos + 8:pos + 8 + length])
        pos += 12 + length
    return chunks


def png_frames(chunks):
    """libvips reads only the first frame of an APNG: count acTL's frames instead."""
    actl = chunks.get(b"acTL", b"")
    return struct.unpack(">I", actl[:4])[0] if len(actl) >= 8 else 1


def png_profile(chunks):
    """An sRGB chunk and an embedded sRGB profile mean the same colours; any other profile must stay."""
    if b"sRGB" in chunks:
        return "sRGB"
    if b"iCCP" in chunks:
        try:
            profile = zlib.decompress(chunks[b"iCCP"].split(b"\0", 1)[1][1:])
        except (IndexError, zlib.error):
            return "unreadable profile"
        if b"sRGB" in profile[:1024]:
            return "sRGB"
        return "profile " + hashlib.sha256(profile).hexdigest()[:12]
    return None


def icc_profile(path):
    """An embedded sRGB profile shows the same colours as none; any other profile must stay."""
    data = Path(path).read_bytes()
    if b"sRGB" in data[:65536] or b"\0s\0R\0G\0B" in data[:65536]:
        return None
    return "profile"


def raster_facts(path, kind):
    """Displayed size, frames and profile presence, or an error text when it does not decode."""
    out = subprocess.run(["vipsheader", "-a", str(path)], capture_output=True, text=True,
                         errors="replace")
    if out.returncode != 0:
        said = out.stderr.strip().splitlines()
        return None, "vipsheader: " + (said[-1] if said else "failed")
    fields = {}
    for line in out.stdout.splitlines():
        key, sep, value = line.partition(": ")
        if sep:
            fields[key.strip()] = value.strip()
    width, height = int(fields["width"]), int(fields["height"])
    if kind != "png" and "page-height" in fields and int(fields.get("n-pages", "1")) > 1:
        height = int(fields["page-height"])
    if fields.get("orientation", "1") in ("5", "6", "7", "8"):
        width, height = height, width
    if kind == "png":
        chunks = png_chunks(path)
        frames, profile = png_frames(chunks), png_profile(chunks)
    else:
        frames, profile = int(fields.get("n-pages", "1")), icc_profile(path) if "icc-profile-data" in fields else None
    options = "[fail_on=truncated]" if kind in ("png", "jpeg") else "[n=-1,fail_on=truncated]"
    decode = subprocess.run(["vips", "avg", str(path) + options], capture_output=True, text=True,
                            errors="replace")
    if decode.returncode != 0:
        return None, "does not decode: " + " ".join(decode.stderr.split())[:200]
    return {"size": (width, height), "frames": frames, "profile": profile}, None


def svg_facts(path):
    try:
        root = ET.parse(path).getroot()
    except (ET.ParseError, OSError) as e:
        return None, f"not XML: {e}"
    if not root.tag.endswith("svg"):
        return None, f"root element is {root.tag}"

    def numbers(value):
        try:
            return tuple(round(float(v), 3) for v in value.replace(",", " ").split()) if value else None
        except ValueError:
            return value

    return {"width": css_pixels(root.get("width")), "height": css_pixels(root.get("height")),
            "viewBox": numbers(root.get("viewBox"))}, None


UNIT_PIXELS = {"": 1.0, "px": 1.0, "pt": 4 / 3, "pc": 16.0, "mm": 96 / 25.4, "cm": 96 / 2.54, "in": 96.0}


def css_pixels(value):
    """An absolute SVG length in pixels (16px, 16 and 12pt are all 16 pixels); other values as written."""
    if value is None:
        return None
    text = value.strip()
    number = text.rstrip("abcdefghijklmnopqrstuvwxyz")
    unit = text[len(number):]
    try:
        return round(float(number) * UNIT_PIXELS[unit], 2) if unit in UNIT_PIXELS else text
    except ValueError:
        return text


class Facts:
    """What a source image is, computed once for all presets."""

    def __init__(self):
        self.cache = {}

    def of(self, path, kind):
        if path not in self.cache:
            self.cache[path] = svg_facts(path) if kind == "svg" else raster_facts(path, kind)
        return self.cache[path]


def verify(result, source, facts):
    """An error text when `result` is not a sound replacement of `source`, else None."""
    if result.stat().st_size >= source.stat().st_size:
        return "not smaller than its original"
    kind = kind_of(source)
    if kind is None:
        return "replaced a file that is no image"
    if kind_of(result) != kind:
        return f"kind changed from {kind} to {kind_of(result)}"
    before, error = facts.of(source, kind)
    if before is None:
        return f"replaced an original that does not decode ({error})"
    after, error = svg_facts(result) if kind == "svg" else raster_facts(result, kind)
    if after is None:
        return error
    for key in before:
        if before[key] != after[key]:
            if key == "profile":
                return f"colour profile changed from {before[key] or 'none'} to {after[key] or 'none'}"
            return f"{key} changed from {before[key]} to {after[key]}"
    return soak_svg.kept(result, source) if kind == "svg" else None


def read_trash(data_home):
    """Maps each original path the Trash names to its trashed file; lists any stray entries."""
    files, info = data_home / "Trash" / "files", data_home / "Trash" / "info"
    entries, strays = {}, []
    names = set(os.listdir(files)) if files.is_dir() else set()
    for record in sorted(info.iterdir()) if info.is_dir() else []:
        name = record.name[:-len(".trashinfo")] if record.name.endswith(".trashinfo") else None
        path = None
        for line in record.read_text(errors="replace").splitlines():
            if line.startswith("Path="):
                path = unquote(line[len("Path="):])
        if name is None or path is None or name not in names:
            strays.append(f"Trash record without its file or path: {record.name}")
            continue
        names.discard(name)
        entries.setdefault(path, []).append(files / name)
    strays += [f"Trash file without a record: {n}" for n in sorted(names)]
    return entries, strays


def read_report(out, problems):
    """The jobs of a run's JSON lines by file, and its summary; what is amiss goes to `problems`."""
    jobs, summary = {}, None
    for line in out.decode(errors="replace").splitlines():
        try:
            record = json.loads(line)
        except json.JSONDecodeError:
            problems.append(f"not JSON on standard output: {line[:120]}")
            continue
        if "summary" in record:
            summary = record["summary"]
        elif record.get("file") in jobs:
            problems.append(f"two jobs for one file: {record['file']}")
        else:
            jobs[record.get("file")] = record
    return jobs, summary


def reported_smaller(job):
    return bool(job and job.get("status") == "completed" and job.get("optimizedSize") is not None
                and job["optimizedSize"] < job.get("originalSize", 0))


def judge(rel, path, source, size, sha, trashed, facts):
    """What became of one corpus file ("unchanged", "replaced", "lost" or "damaged"), and the problem if any."""
    if not (path.is_file() and not path.is_symlink()):
        if not trashed:
            return "lost", f"LOST: {rel} is neither at its path nor in the Trash"
        return "damaged", f"DAMAGED: {rel} is gone from its folder; only the Trash holds it"
    if path.stat().st_size == size and digest(path) == sha:
        return "unchanged", f"the Trash holds a copy of unchanged {rel}" if trashed else None
    originals = [t for t in trashed if t.stat().st_size == size and digest(t) == sha]
    if len(trashed) != 1 or not originals:
        return "damaged", (f"DAMAGED: {rel} changed, but the Trash holds {len(trashed)} entries for it"
                           f" of which {len(originals)} match its original")
    error = verify(path, source, facts) or soak_raster.problem(path, source)
    if error:
        return "damaged", f"DAMAGED: {rel}: {error}"
    return "replaced", None


def run_measured(cmd, env, cwd, stderr):
    """Runs `cmd`; answers its exit status, standard output and the peak memory in MB of it and its tools."""
    proc = subprocess.Popen(cmd, env=env, cwd=cwd, stdout=subprocess.PIPE, stderr=stderr)
    out = proc.stdout.read()
    proc.stdout.close()
    _, status, usage = os.wait4(proc.pid, 0)
    proc.returncode = os.waitstatus_to_exitcode(status)
    return proc.returncode, out, usage.ru_maxrss / 1024


def run_preset(preset, corpus_copy, sources, work, args, facts, pressly=None, name=None):
    root = work / (name or preset)
    tree = root / "images"
    copy_tree(corpus_copy, tree)
    kept = soak_files.prepare(tree)
    env = dict(os.environ)
    for name, folder in ENV_DIRS.items():
        (root / folder).mkdir(parents=True, exist_ok=True)
        env[name] = str(root / folder)
    cmd = [str(pressly or args.pressly), "--in-place", "--json", "--preset", preset]
    if args.jobs:
        cmd += ["--jobs", str(args.jobs)]
    cmd.append(str(tree))
    start = time.monotonic()
    with open(root / "stderr.log", "wb") as log:
        status, out, peak = run_measured(cmd, env, root, log)
    seconds = time.monotonic() - start

    problems, failures = [], []
    jobs, summary = read_report(out, problems)
    if summary is None:
        problems.append("no summary line")

    trash, strays = read_trash(root / "data")
    problems += strays
    row = dict(files=0, replaced=0, unchanged=0, failed=0, lost=0, damaged=0, before=0, after=0,
               seconds=seconds, peak=peak)
    for rel, (size, sha) in sorted(sources.items()):
        path = tree / rel
        source = corpus_copy / rel
        trashed = trash.pop(str(path), [])
        is_image = path.suffix.lower().lstrip(".") in IMAGE_EXTENSIONS
        job = jobs.pop(str(path), None)
        if is_image:
            row["files"] += 1
            row["before"] += size
            if job is None:
                problems.append(f"no job reported for {rel}")
        elif job is not None:
            problems.append(f"a job for a file that is not an image by name: {rel}")
        saved = reported_smaller(job)
        if job and job.get("status") == "failed":
            row["failed"] += 1
            error = job.get("error") or ""
            allowed = rel.parts[0] in EXPECTED_TO_FAIL
            failures.append((rel, error, allowed))
            if not allowed:
                problems.append(f"unexpected failure: {rel}: {error}")
        state, problem = judge(rel, path, source, size, sha, trashed, facts)
        if problem:
            problems.append(problem)
        if state in ("lost", "damaged"):
            row[state] += 1
            continue
        if state == "unchanged":
            row["unchanged"] += 1 if is_image else 0
            row["after"] += size if is_image else 0
            if saved:
                problems.append(f"reported as made smaller but unchanged: {rel}")
            continue
        row["after"] += path.stat().st_size if is_image else 0
        row["replaced"] += 1
        if not saved:
            problems.append(f"replaced but not reported as made smaller: {rel}")

    for path, entries in sorted(trash.items()):
        problems.append(f"the Trash holds something that was not replaced: {path} ({len(entries)})")
    for path in sorted(jobs):
        problems.append(f"a job for a file that is not in the corpus: {path}")

    # Nothing of the run may outlive it, in the folders or the temporary directory.
    problems += soak_files.check(tree, kept)
    known = {str(tree / rel) for rel in sources} | soak_files.extra_paths(kept)
    for folder, dirs, names in os.walk(tree):
        for name in names:
            if str(Path(folder) / name) not in known:
                problems.append(f"left in the folders: {Path(folder, name).relative_to(tree)}")
    for folder, dirs, names in os.walk(root / "tmp"):
        for name in names + dirs:
            if name.startswith("Pressly."):
                problems.append(f"left in TMPDIR: {Path(folder, name).relative_to(root / 'tmp')}")
    for name in sorted(os.listdir(root)):
        if name not in set(ENV_DIRS.values()) | {"images", "stderr.log"}:
            problems.append(f"left beside the run: {name}")

    any_failed = row["failed"] > 0
    if status != (1 if any_failed else 0):
        problems.append(f"exit status {status} with {row['failed']} failed jobs")
    if summary is not None and summary.get("failed") != row["failed"]:
        problems.append(f"summary counts {summary.get('failed')} failed, the jobs {row['failed']}")
    return row, failures, problems


def print_table(rows):
    columns = ["preset", "files", "replaced", "unchanged", "failed", "lost", "damaged",
               "bytes before", "bytes after", "saved %", "seconds", "peak MB"]
    lines = [columns]
    for preset, row in rows:
        saved = (row["before"] - row["after"]) / row["before"] * 100 if row["before"] else 0.0
        lines.append([preset, row["files"], row["replaced"], row["unchanged"], row["failed"],
                      row["lost"], row["damaged"], f"{row['before']:,}", f"{row['after']:,}",
                      f"{saved:.1f}", f"{row['seconds']:.1f}", f"{row['peak']:.0f}"])
    widths = [max(len(str(line[i])) for line in lines) for i in range(len(columns))]
    for line in lines:
        print("  ".join(str(v).ljust(w) if i == 0 else str(v).rjust(w)
                        for i, (v, w) in enumerate(zip(line, widths))))


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("corpus", type=Path)
    parser.add_argument("--presets", default="lossless,maximum")
    parser.add_argument("--pressly", type=Path, default=HERE / "build" / "bin" / "pressly")
    parser.add_argument("--jobs", type=int)
    parser.add_argument("--keep", action="store_true", help="keep the work folder")
    parser.add_argument("--liars", metavar="PRESET",
                        help="also a round under PRESET with tools that exit 0 after writing half their output")
    parser.add_argument("--two-runs", action="store_true",
                        help="also a round of two runs at once on one folder, lossless and maximum")
    args = parser.parse_args()
    args.pressly = args.pressly.resolve()
    if not args.corpus.is_dir():
        parser.error(f"no corpus folder at {args.corpus}")
    if not args.pressly.is_file():
        parser.error(f"no pressly at {args.pressly}")
    presets = [p for p in args.presets.split(",") if p]

    work = Path(tempfile.mkdtemp(prefix="pressly-soak."))
    corpus_copy = work / "source"
    copy_tree(args.corpus.resolve(), corpus_copy)
    soak_svg.add_samples(corpus_copy)
    soak_raster.add_files(corpus_copy)
    bombs = soak_bombs.add(corpus_copy)
    sources = {}
    for folder, _, names in os.walk(corpus_copy):
        for name in names:
            path = Path(folder) / name
            sources[path.relative_to(corpus_copy)] = (path.stat().st_size, digest(path))

    facts = Facts()
    rows, bad, failed_presets = [], False, 0
    rounds = [(preset, None, preset) for preset in presets]
    if args.liars:
        rounds.append((args.liars, soak_liars.make(work / "liars-app", args.pressly), f"{args.liars}, lying tools"))
    if args.two_runs:
        rounds.append(("two runs", None, "two runs at once"))
    for preset, pressly, name in rounds:
        print(f"== {name}: pressly --in-place on {len(sources)} files", flush=True)
        if preset == "two runs":
            row, failures, problems = soak_twice.run(corpus_copy, sources, work, args.pressly, facts)
        else:
            row, failures, problems = run_preset(preset, corpus_copy, sources, work, args, facts, pressly,
                                                 name.replace(", ", "-").replace(" ", "-"))
        problems += soak_bombs.check(row, failures, bombs)
        rows.append((name, row))
        for rel, error, allowed in failures:
            print(f"  failed{'' if allowed else ' (NOT EXPECTED)'}: {rel}: {error}")
        for problem in problems:
            print(f"  PROBLEM: {problem}")
        broken = bool(problems) or row["lost"] > 0 or row["damaged"] > 0
        failed_presets += 1 if broken else 0
        bad = bad or broken
    bad = soak_trash.check(corpus_copy, work, args.pressly) or bad
    print()
    print_table(rows)
    if args.keep or bad:
        print(f"\nwork folder kept: {work}")
    else:
        shutil.rmtree(work, ignore_errors=True)
    if bad:
        print("SOAK FAILED: see the problems above")
    print(f"soak: {len(rounds) - failed_presets} passed, {failed_presets} failed")
    return 1 if bad else 0


if __name__ == "__main__":
    sys.exit(main())
