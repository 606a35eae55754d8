# SPDX-FileCopyrightText: 2026 The Pressly Pro developers
# SPDX-License-Identifier: GPL-3.0-or-later
"""Nautilus (nautilus-python): "Optimize with Pressly Pro" on image files and folders."""
import os

from gi.repository import Gio, GLib, GObject, Nautilus

SUPPORTED = frozenset({
    "image/png", "image/jpeg", "image/gif", "image/svg+xml", "image/webp", "image/heic", "image/heif",
    "image/x-adobe-dng", "inode/directory"})
ENGLISH = ("Optimize with Pressly Pro", "Make the selected images smaller without changing how they look")
# The window's own German; other languages fall back to English.
WORDING = {"de": ("Mit Pressly Pro optimieren", "Die ausgewählten Bilder verkleinern, ohne ihr Aussehen zu verändern")}


def wording():
    for name in GLib.get_language_names():
        language = name.split("_")[0].split(".")[0].split("@")[0]
        if language in WORDING:
            return WORDING[language]
        if language in ("en", "C"):
            break
    return ENGLISH


def program():
    # This file lives in <prefix>/share/nautilus-python/extensions: the same
    # installed tree's program first, wherever it was installed.
    beside = os.path.join(os.path.dirname(os.path.realpath(__file__)), "..", "..", "..", "bin", "pressly-pro")
    return os.path.normpath(beside) if os.access(beside, os.X_OK) else "pressly-pro"


def local_path(info):
    # Search results and recent files activate their real file; the Trash and
    # remote places have no local path and are not offered.
    return Gio.File.new_for_uri(info.get_activation_uri() or info.get_uri()).get_path()


class PresslyProMenu(GObject.GObject, Nautilus.MenuProvider):
    def get_file_items(self, *args):
        # Nautilus 43 (API 4.0) passes the files alone, earlier ones the window first.
        files = args[-1]
        if not files or any(info.get_mime_type() not in SUPPORTED for info in files):
            return []
        paths = [local_path(info) for info in files]
        if None in paths:
            return []
        label, tip = wording()
        item = Nautilus.MenuItem(name="PresslyPro::Optimize", label=label, tip=tip)
        item.connect("activate", self.optimize, paths)
        return [item]

    @staticmethod
    def optimize(_item, paths):
        # A window already open takes the files over. GLib reaps the child.
        GLib.spawn_async([program(), *paths], flags=GLib.SpawnFlags.SEARCH_PATH)
