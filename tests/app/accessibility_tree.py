#!/usr/bin/env python3
# SPDX-FileCopyrightText: 2026 The Pressly Pro developers
# SPDX-License-Identifier: GPL-3.0-or-later
"""What a screen reader finds in the window, page by page.

Run inside a private session bus (ctest does it with dbus-run-session): starts
an X server of its own, the accessibility bus and the window, moves
through the drop zone, a finished batch (pile, grid, enlarged card), the
settings and the statistics by the controls' own accessible actions, prints
the named controls of each page and fails on any control without a name.

usage: accessibility_tree.py PRESSLY_PRO TEST_DATA
"""
import os
import shutil
import subprocess
import sys
import tempfile
import time


def own_x_server():
    """Xvfb picks a free display itself and names it (-displayfd): nothing else
    starting an X server at the same moment can take the same one."""
    read, write = os.pipe()
    server = subprocess.Popen(["Xvfb", "-displayfd", str(write), "-screen", "0", "1280x800x24", "-nolisten", "tcp"],
                              pass_fds=(write,))
    os.close(write)
    with os.fdopen(read) as named:
        number = named.readline().strip()
    if not number:
        sys.exit("FAIL: Xvfb did not start")
    os.environ["DISPLAY"] = f":{number}"
    return server


# Before AT-SPI is loaded: it looks for its bus through the display.
X_SERVER = own_x_server() if __name__ == "__main__" else None

import gi  # noqa: E402

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi, Gio  # noqa: E402

R = Atspi.Role
# What a user can act on: each must tell a screen reader what it is.
INTERACTIVE = {R.PUSH_BUTTON, R.TOGGLE_BUTTON, R.CHECK_BOX, R.RADIO_BUTTON, R.LIST_ITEM, R.MENU_ITEM,
               R.CHECK_MENU_ITEM, R.RADIO_MENU_ITEM, R.MENU, R.SLIDER, R.COMBO_BOX, R.TEXT, R.ENTRY,
               R.PASSWORD_TEXT, R.SPIN_BUTTON, R.PAGE_TAB, R.COLUMN_HEADER, R.TABLE_COLUMN_HEADER, R.LINK,
               R.TABLE_CELL}
IMAGES = ["png/pingus-flag3.png", "jpeg/pingus-rocktile.jpg", "svg/twemoji-1f534.svg", "odd/skimage-truncated.jpg"]


def showing(node):
    """False too for an object that went away meanwhile (a closed dialog, a card's reused cell)."""
    try:
        states = node.get_state_set()
    except Exception:  # noqa: BLE001 - gone
        return False
    return states.contains(Atspi.StateType.SHOWING) and states.contains(Atspi.StateType.VISIBLE)


def walk(node, found, depth=0):
    """(role name, name, node) of every shown control, and of the texts given a role: figures and notices."""
    if node is None or depth > 60 or not showing(node):
        return found
    try:
        role = node.get_role()
        count = node.get_child_count()
        if role in INTERACTIVE or role in (R.LIST, R.ALERT, R.STATIC, R.LABEL, R.MENU_BAR):
            found.append((node.get_role_name(), (node.get_name() or "").strip(), node))
    except Exception:  # noqa: BLE001 - went away while being read: a page in its change
        return found
    for i in range(count):
        try:
            child = node.get_child_at_index(i)
        except Exception:  # noqa: BLE001 - as above
            continue
        walk(child, found, depth + 1)
    return found


def controls(app):
    app.clear_cache()
    found = []
    for i in range(app.get_child_count()):
        walk(app.get_child_at_index(i), found)
    return found


def wait_for(what, probe, seconds=60):
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        result = probe()
        if result:
            return result
        time.sleep(0.5)
    raise SystemExit(f"timed out waiting for {what}")


def find(app, role, name=None, prefix=None):
    for role_name, found_name, node in controls(app):
        if role_name == role and (name is None or found_name == name) \
                and (prefix is None or found_name.startswith(prefix)):
            return node
    return None


def batch_done(app):
    cards = [name for role_name, name, _ in controls(app) if role_name == "list item"]
    return len(cards) == len(IMAGES) and not any(name.endswith(("optimizing", "waiting")) for name in cards)


def act(node):
    """Presses (or toggles) a control through its accessible action, as a screen reader's user would."""
    if node is None:
        raise SystemExit("a control to press is missing")
    names = [node.get_action_name(i) for i in range(node.get_n_actions())]
    for wanted in ("Press", "Toggle"):
        if wanted in names:
            node.do_action(names.index(wanted))
            return
    raise SystemExit(f"{node.get_role_name()} '{node.get_name()}' offers no press: {names}")


def missing(found, expected):
    names = {name for _, name, _ in found}
    return [e for e in expected if not any(n == e or n.startswith(e) for n in names)]


def check_page(app, page, expected, problems):
    # A page still fading in, or one whose objects change while read, is read again.
    for _ in range(30):
        found = controls(app)
        if not missing(found, expected):
            break
        time.sleep(0.5)
    print(f"== {page}")
    for role_name, name, node in found:
        print(f"   {role_name}: {name}" if name else f"   {role_name}: <NO NAME>")
        if not name and node.get_role() in INTERACTIVE:
            problems.append(f"{page}: a {role_name} without a name")
    problems += [f"{page}: '{name}' not found" for name in missing(found, expected)]
    problems += [f"{page}: '{name}' reads a mnemonic's ampersand" for _, name, _ in found if "&" in name]


def start_bus():
    launcher = subprocess.Popen(["/usr/libexec/at-spi-bus-launcher", "--launch-immediately"])
    session = Gio.bus_get_sync(Gio.BusType.SESSION)

    def answers():
        try:
            session.call_sync("org.a11y.Bus", "/org/a11y/bus", "org.a11y.Bus", "GetAddress", None, None,
                              Gio.DBusCallFlags.NO_AUTO_START, 1000, None)
            return True
        except Exception:  # noqa: BLE001 - not up yet
            return False
    wait_for("the accessibility bus", answers, 20)
    return launcher


def main():
    app_binary, data = sys.argv[1], sys.argv[2]
    home = tempfile.mkdtemp(prefix="pressly-a11y.")
    env = dict(os.environ, QT_QPA_PLATFORM="xcb", QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_ACCESSIBILITY="1",
               XDG_DATA_HOME=f"{home}/data", XDG_CONFIG_HOME=f"{home}/config", XDG_RUNTIME_DIR=f"{home}/run",
               TMPDIR=f"{home}/tmp", LC_ALL="C.UTF-8")
    env.pop("LANGUAGE", None)  # the names looked for are the English ones
    for sub in ("data", "config", "run", "tmp", "images"):
        os.makedirs(f"{home}/{sub}", mode=0o700)
    for image in IMAGES:
        shutil.copy(f"{data}/{image}", f"{home}/images/")
    started = [start_bus()]
    problems = []
    try:
        started.append(subprocess.Popen([app_binary], env=env))
        desktop = Atspi.get_desktop(0)
        app = wait_for("the window on the accessibility bus", lambda: next(
            (desktop.get_child_at_index(i) for i in range(desktop.get_child_count())
             if desktop.get_child_at_index(i) and desktop.get_child_at_index(i).get_name() == "Pressly Pro"), None))
        wait_for("the drop zone", lambda: find(app, "push button", "Browse"))
        check_page(app, "drop zone", ["File", "Help", "Files", "Statistics", "Settings", "Browse"], problems)

        act(find(app, "page tab", "Settings"))
        wait_for("the settings", lambda: find(app, "radio button", "Balanced"))
        # In place, with the warning's switch shown. Under load the first reading can miss the card.
        originals = wait_for("the output choices", lambda: find(app, "radio button", "Optimize originals"))
        act(originals)
        wait_for("in place chosen", lambda: find(app, "check box", "Warn me before replacing files"))
        check_page(app, "settings", ["Optimize originals", "Export to folder", "Lossless", "Balanced", "Maximum",
                                     "Warn me before replacing files", "Add a folder to watch",
                                     "Pause all watched folders"], problems)

        # Files handed over by a second launch, as a file manager does; the warning is answered.
        subprocess.run([app_binary, f"{home}/images"], env=env, check=True, timeout=30)
        act(wait_for("the replace warning", lambda: find(app, "push button", "Optimize")))
        wait_for("the batch's end", lambda: batch_done(app), 120)
        check_page(app, "files: the pile after a batch", ["Latest photos", "skimage-truncated.jpg, failed",
                                                          "pingus-flag3.png, "], problems)
        act(find(app, "list item", prefix="pingus-flag3.png"))
        # Once the pile has faded out, each card is there once.
        wait_for("the grid", lambda: find(app, "push button", "Collapse") and len(
            [n for role_name, n, _ in controls(app) if role_name == "list item"]) == len(IMAGES))
        check_page(app, "files: the grid", ["Collapse", "pingus-rocktile.jpg, "], problems)
        act(find(app, "list item", prefix="pingus-rocktile.jpg"))
        wait_for("the enlarged card", lambda: find(app, "push button", "Zoom in"))
        check_page(app, "files: one card enlarged", ["Zoom out", "Zoom in", "Fit to view", "Show in Folder",
                                                     "Close enlarged view"], problems)
        act(find(app, "push button", "Close enlarged view"))
        wait_for("the enlarged card to close", lambda: not find(app, "push button", "Zoom in"))

        act(find(app, "page tab", "Statistics"))
        wait_for("the statistics", lambda: find(app, "push button", "Export"))
        check_page(app, "statistics", ["Export", "Date", "Savings", "Total Savings: "], problems)
    except SystemExit as stopped:
        problems.append(f"stopped: {stopped}")
    finally:
        for process in reversed(started):
            process.terminate()
            process.wait(10)
        shutil.rmtree(home, ignore_errors=True)
    for problem in problems:
        print("FAIL:", problem)
    return 1 if problems else 0


if __name__ == "__main__":
    try:
        status = main()
    finally:
        X_SERVER.terminate()
        X_SERVER.wait(10)
    sys.exit(status)
