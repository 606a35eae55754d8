# SPDX-FileCopyrightText: 2026 The Pressly Pro developers
# SPDX-License-Identifier: GPL-3.0-or-later
"""SVG checks of the soak: a replaced SVG keeps every id and every text of its original.

Pages show a sprite's symbols by id from outside the file, so no id may go; titles, descriptions and
text are the file's words, so none may change, whatever encoding the original was written in.
"""
import re
import shutil
import xml.etree.ElementTree as ET
from pathlib import Path

SVG_NS = "{http://www.w3.org/2000/svg}"
TEXT_ELEMENTS = {"text", "tspan", "textPath", "title", "desc", "flowRoot", "flowPara", "flowSpan",
                 "flowDiv", "foreignObject"}
# Our own small files, one in a legacy encoding and one sprite library.
SAMPLES = ["latin1-text.svg", "sprite-icons.svg"]


def add_samples(corpus_copy, data=Path(__file__).resolve().parent.parent / "tests" / "data" / "svg"):
    """Puts the sample SVGs into the soak's copy of the corpus."""
    (corpus_copy / "svg").mkdir(parents=True, exist_ok=True)
    for name in SAMPLES:
        shutil.copyfile(data / name, corpus_copy / "svg" / f"soak-{name}")


def svg_element(tag):
    """The local name of an element of SVG (or of no namespace), else None."""
    if tag.startswith(SVG_NS):
        return tag[len(SVG_NS):]
    return None if tag.startswith("{") else tag


def content(path):
    """The ids of SVG elements and the texts of text elements (whitespace collapsed), or an error."""
    try:
        root = ET.parse(path).getroot()
    except (ET.ParseError, OSError, LookupError, ValueError) as e:
        return None, None, f"not XML: {e}"
    ids, texts = set(), []

    def walk(node):
        name = svg_element(node.tag)
        if name is not None and node.get("id") is not None:
            ids.add(node.get("id"))
        if name in TEXT_ELEMENTS:
            texts.append(re.sub(r"\s+", " ", "".join(node.itertext())).strip())
            for inner in node.iter():
                if inner is not node and svg_element(inner.tag) is not None and inner.get("id") is not None:
                    ids.add(inner.get("id"))
            return
        for child in node:
            walk(child)

    walk(root)
    return ids, sorted(texts), None


def kept(result, source):
    """An error text when `result` lost an id or a text of `source`, else None."""
    ids, texts, error = content(source)
    if error:
        return f"original {error}"
    new_ids, new_texts, error = content(result)
    if error:
        return error
    if ids - new_ids:
        return f"ids lost: {', '.join(sorted(ids - new_ids)[:5])}"
    if texts != new_texts:
        changed = [t for t in texts if t not in new_texts] or [t for t in new_texts if t not in texts]
        return f"text changed: {changed[0][:60]!r}"
    return None
