#!/usr/bin/env python3
# SPDX-FileCopyrightText: 2026 The Pressly Pro developers
# SPDX-License-Identifier: GPL-3.0-or-later
"""The file managers' actions in an installed tree: Dolphin's service menu
validates and is executable, Nemo's and Thunar's actions parse with what their
file managers need, and Nautilus' extension, loaded by the real nautilus-python,
offers its item only for supported local files and hands their paths over.
Usage: check_file_managers.py PREFIX (Debian's python3, with python3-nautilus)"""
import ctypes
import glob
import os
import shutil
import subprocess
import sys
import tempfile
import time
import traceback
import xml.etree.ElementTree as ElementTree

KINDS = "image/png;image/jpeg;image/gif;image/svg+xml;image/webp;image/heic;image/heif;image/x-adobe-dng;inode/directory;"
prefix = os.path.abspath(sys.argv[1])
KEPT = []  # what the loader made is never released: see the end
# GLib reads the data folders once, at start: nautilus-python must find the copy under test.
if "PRESSLY_TEST_TREE" not in os.environ:
    work = tempfile.mkdtemp()
    os.execve(sys.executable, [sys.executable, *sys.argv], {
        **os.environ, "PRESSLY_TEST_TREE": work, "XDG_DATA_DIRS": f"{work}/tree/share", "XDG_DATA_HOME": f"{work}/home"})
work = os.environ["PRESSLY_TEST_TREE"]
tree = f"{work}/tree"

import gi  # noqa: E402

gi.require_version("Nautilus", "4.0")
from gi.repository import GLib, GObject, Nautilus  # noqa: E402


def key_file(path):
    keys = GLib.KeyFile()
    keys.load_from_file(path, GLib.KeyFileFlags.KEEP_TRANSLATIONS)
    return keys


def check_key_files(share):
    menu = f"{share}/kio/servicemenus/pressly-pro-optimize.desktop"
    assert os.access(menu, os.X_OK), "KIO skips a service menu that is not executable"
    # The validator knows Type=Service only as KDE's and refuses the keys KIO reads from it.
    out = subprocess.run(["desktop-file-validate", menu], capture_output=True, text=True).stdout
    refused = [line for line in out.splitlines() if 'this key is only valid for type "Application"' not in line]
    assert not refused, refused
    nemo = key_file(f"{share}/nemo/actions/pressly-pro.nemo_action")
    # Nemo shows no action without a selection kind it knows.
    assert nemo.get_string("Nemo Action", "Selection").lower() in ("s", "m", "any", "notnone")
    for keys, kinds, group in ((key_file(menu), ("Desktop Entry", "MimeType"), "Desktop Action optimize"),
                               (nemo, ("Nemo Action", "Mimetypes"), "Nemo Action")):
        assert keys.get_string(*kinds) == KINDS
        assert keys.get_string(group, "Exec") == "pressly-pro %U"
        assert keys.get_locale_string(group, "Name", "de") == "Mit Pressly Pro optimieren"


def check_thunar(share):
    action = ElementTree.parse(f"{share}/pressly-pro/thunar/uca.xml").getroot().find("action")
    assert action.findtext("command") == "pressly-pro %F"
    assert action.find("directories") is not None and action.find("image-files") is not None


class Module(GObject.TypeModule):
    def do_load(self):
        return True


class File(GObject.GObject, Nautilus.FileInfo):
    def __init__(self, uri, mime):
        super().__init__()
        self.uri, self.mime = uri, mime

    def do_get_uri(self):
        return self.uri

    def do_get_activation_uri(self):
        return self.uri

    def do_get_mime_type(self):
        return self.mime


def nautilus_menu_provider():
    """The menu provider that nautilus-python registers from the data folders."""
    loader = ctypes.PyDLL(glob.glob("/usr/lib/*/nautilus/extensions-4/libnautilus-python.so")[0], ctypes.RTLD_GLOBAL)
    # Nautilus has no Python running, so the loader starts one and looks these up;
    # here Python runs already, which the loader takes as that start done.
    for name in ("Column", "ColumnProvider", "InfoProvider", "Menu", "MenuItem", "MenuProvider", "OperationHandle",
                 "PropertiesItem", "PropertiesModel", "PropertiesModelProvider"):
        ctypes.c_void_p.in_dll(loader, f"_PyNautilus{name}_Type").value = id(getattr(Nautilus, name))
    capsule = ctypes.pythonapi.PyCapsule_GetPointer
    capsule.restype, capsule.argtypes = ctypes.c_void_p, [ctypes.py_object, ctypes.c_char_p]
    ctypes.c_void_p.in_dll(loader, "_PyGObject_API").value = capsule(gi._gi._PyGObject_API, b"gobject._PyGObject_API")
    module = Module()
    loader.nautilus_module_initialize(ctypes.c_void_p(capsule(module.__gpointer__, None)))
    types, count = ctypes.POINTER(ctypes.c_size_t)(), ctypes.c_int()
    loader.nautilus_module_list_types(ctypes.byref(types), ctypes.byref(count))
    type_name = ctypes.CDLL("libgobject-2.0.so.0").g_type_name
    type_name.restype, type_name.argtypes = ctypes.c_char_p, [ctypes.c_size_t]
    names = [type_name(types[i]).decode() for i in range(count.value)]
    assert sys.modules["pressly_pro"].__file__.startswith(tree), "another pressly_pro.py shadows the one under test"
    assert len(names) == 1, names
    KEPT.extend((module, GObject.new(GObject.type_from_name(names[0]))))
    return KEPT[-1]


def check_nautilus(share):
    # The installed extension beside a stand-in program that writes down its arguments.
    os.makedirs(f"{tree}/share/nautilus-python/extensions")
    os.makedirs(f"{tree}/bin")
    shutil.copy(f"{share}/nautilus-python/extensions/pressly_pro.py", f"{tree}/share/nautilus-python/extensions")
    with open(f"{tree}/bin/pressly-pro", "w") as stand_in:
        stand_in.write("#!/bin/sh\nprintf '%s\\0' \"$@\" > \"$0.part\" && mv \"$0.part\" \"$0.args\"\n")
    os.chmod(f"{tree}/bin/pressly-pro", 0o755)
    provider = nautilus_menu_provider()
    photo, folder = f"{work}/it's a \"photo\".png", f"{work}/Fotos 2026"
    local = [File(GLib.filename_to_uri(photo), "image/png"), File(GLib.filename_to_uri(folder), "inode/directory")]
    cases = [  # files, language, the item's label or None
        (local, "en_GB", "Optimize with Pressly Pro"),
        ([File(GLib.filename_to_uri(photo), "image/heif")], "de_AT:en", "Mit Pressly Pro optimieren"),
        ([local[0], File(GLib.filename_to_uri(f"{work}/notes.txt"), "text/plain")], "en", None),
        ([File("trash:///photo.png", "image/png")], "en", None),
        ([], "en", None),
    ]
    for files, language, label in cases:
        os.environ["LANGUAGE"] = language
        items = Nautilus.MenuProvider.get_file_items(provider, files)
        assert [item.props.label for item in items] == ([label] if label else []), (files, language, items)
    # Nautilus before 43 passes its window first.
    assert len(sys.modules["pressly_pro"].PresslyProMenu().get_file_items(None, local)) == 1
    Nautilus.MenuProvider.get_file_items(provider, local)[0].activate()
    for _ in range(100):
        if os.path.exists(f"{tree}/bin/pressly-pro.args"):
            break
        time.sleep(0.1)
    with open(f"{tree}/bin/pressly-pro.args") as handed:
        assert handed.read().split("\0")[:-1] == [photo, folder]


status = 0
try:
    for check in (check_key_files, check_thunar, check_nautilus):
        check(f"{prefix}/share")
except Exception:  # noqa: BLE001 (reported, then the exit below)
    traceback.print_exc()
    status = 1
shutil.rmtree(work)
sys.stdout.flush()
sys.stderr.flush()
# The loader's objects must outlive Python's own teardown (it releases them
# without holding Python's lock, and a type module must outlive its types).
os._exit(status)
