# SPDX-FileCopyrightText: 2026 The Pressly Pro developers
# SPDX-License-Identifier: GPL-3.0-or-later
"""What surrounds each image in the soak: every file of the tree is tagged, some get an access list,
and links to two images are added. After the run each file must keep its mode, its user attributes
and its access list, carry none of our own attributes, and every link must still be the same link."""
import os
import struct
from pathlib import Path

ACL = "system.posix_acl_access"
OURS = "user.pressly."
UNDEFINED = 0xFFFFFFFF
# Owner rw-, user 1234 rw-, owning group r--, mask rw-, others nothing: the group must not gain write.
ACL_VALUE = struct.pack("<I", 2) + b"".join(
    struct.pack("<HHI", tag, perm, ident)
    for tag, perm, ident in [(0x01, 6, UNDEFINED), (0x02, 6, 1234), (0x04, 4, UNDEFINED),
                             (0x10, 6, UNDEFINED), (0x20, 0, UNDEFINED)])


def _snapshot(path):
    attrs = {n: os.getxattr(path, n) for n in os.listxattr(path) if n.startswith("user.") or n == ACL}
    return os.stat(path).st_mode & 0o7777, attrs


def prepare(tree):
    """Tags the files of `tree` and adds links; answers what must stay as it is."""
    files = sorted(Path(folder) / name for folder, _, names in os.walk(tree) for name in names)
    for i, path in enumerate(files):
        os.setxattr(path, "user.xdg.tags", b"soak,tagged")
        os.setxattr(path, "user.baloo.rating", str(i % 10).encode())
        if i % 4 == 0:
            os.chmod(path, 0o640)
            os.setxattr(path, ACL, ACL_VALUE)
    images = [p for p in files if p.suffix.lower() in (".png", ".jpg", ".jpeg") and p.parts[-2] != "odd"]
    links = {}
    if images:
        links[tree / ("linked-relative" + images[0].suffix)] = os.path.relpath(images[0], tree)
        links[tree / ("linked-absolute" + images[-1].suffix)] = str(images[-1])
    for link, target in links.items():
        os.symlink(target, link)
    return {"files": {path: _snapshot(path) for path in files}, "links": links}


def extra_paths(kept):
    """The paths `prepare` added to the tree."""
    return {str(link) for link in kept["links"]}


def check(tree, kept):
    """Problems with what surrounds the files, one text each."""
    problems = []
    for path, (mode, attrs) in kept["files"].items():
        if not path.is_file() or path.is_symlink():
            continue  # reported as lost by the caller
        rel = path.relative_to(tree)
        now_mode, now_attrs = _snapshot(path)
        if now_mode != mode:
            problems.append(f"mode of {rel} changed from {mode:o} to {now_mode:o}")
        ours = sorted(n for n in now_attrs if n.startswith(OURS))
        if ours:
            problems.append(f"our own attributes left on {rel}: {', '.join(ours)}")
        changed = sorted(n for n in set(attrs) | set(now_attrs)
                         if not n.startswith(OURS) and attrs.get(n) != now_attrs.get(n))
        if changed:
            problems.append(f"attributes of {rel} lost or changed: {', '.join(changed)}")
    for link, target in kept["links"].items():
        if not link.is_symlink() or os.readlink(link) != target:
            problems.append(f"{link.relative_to(tree)} is no longer a link to {target}")
    return problems
