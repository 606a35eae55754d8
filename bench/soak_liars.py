# SPDX-FileCopyrightText: 2026 The Pressly Pro developers
# SPDX-License-Identifier: GPL-3.0-or-later
"""Tools that lie: each exits 0 after its real run but leaves only the first half
of every file it wrote (a crashing tool, a full disk). A copy of `pressly` finds
them first, in the tools folder beside it; nothing they write may replace an image."""
import os
import shutil
from pathlib import Path

TOOLS = ["pngquant", "oxipng", "jpegoptim", "jpegtran", "gifsicle", "svgcleaner", "dnglab"]

LIAR = """#!/usr/bin/env python3
import os, subprocess, sys, time
start = time.time_ns()
status = subprocess.call([{real!r}] + sys.argv[1:])
if status == 0:
    for arg in sys.argv[1:]:
        if os.path.isfile(arg) and os.stat(arg).st_mtime_ns >= start:
            os.truncate(arg, os.path.getsize(arg) // 2)
sys.exit(status)
"""

# The svgo server answers requests by lines of JSON; each output it reports
# done is cut in half before the answer goes on.
LYING_SERVER = """#!/usr/bin/env python3
import json, os, subprocess, sys, threading
real = subprocess.Popen([{real!r}] + sys.argv[1:], stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True)
outputs, lock = {{}}, threading.Lock()
def answers():
    for line in real.stdout:
        answer = json.loads(line)
        with lock:
            output = outputs.pop(answer.get("id"), None)
        if answer.get("status") == 0 and output and os.path.isfile(output):
            os.truncate(output, os.path.getsize(output) // 2)
        sys.stdout.write(line)
        sys.stdout.flush()
reader = threading.Thread(target=answers)
reader.start()
for line in sys.stdin:
    request = json.loads(line)
    with lock:
        outputs[request.get("id")] = request.get("output")
    real.stdin.write(line)
    real.stdin.flush()
real.stdin.close()
reader.join()
sys.exit(real.wait())
"""


def real_tool(name, pressly):
    bundled = pressly.parent.parent / "share" / "pressly-pro" / "BundledTools" / "bin" / name
    return str(bundled.resolve()) if bundled.exists() else shutil.which(name)


def make(folder, pressly):
    """A copy of `pressly` in `folder` whose tools all lie; answers its path."""
    program = folder / "bin" / "pressly"
    tools = folder / "share" / "pressly-pro" / "BundledTools" / "bin"
    program.parent.mkdir(parents=True)
    tools.mkdir(parents=True)
    shutil.copy2(pressly, program)
    for name, text in [(name, LIAR) for name in TOOLS] + [("svgcleaner-server", LYING_SERVER)]:
        real = real_tool(name, pressly)
        if not real:
            continue
        (tools / name).write_text(text.format(real=real))
        os.chmod(tools / name, 0o755)
    return program
