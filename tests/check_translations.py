#!/usr/bin/env python3
# SPDX-FileCopyrightText: 2026 The Pressly Pro developers
# SPDX-License-Identifier: GPL-3.0-or-later
"""Fails when a string the sources mark has no German, when a translation is
empty or unfinished, or when it drops or adds a placeholder (%1, %n).

Usage: check_translations.py LUPDATE INCLUDE_DIR SOURCES_LIST TS...
The catalogues are first brought up to date with the sources in a scratch
copy, so a string added to the code without its German shows here."""
import re
import shutil
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET
from pathlib import Path


def placeholders(text):
    return sorted(set(re.findall(r'%L?(?:\d+|n)', text)))


def problems(ts):
    for context in ET.parse(ts).getroot().iter('context'):
        for message in context.iter('message'):
            source = message.findtext('source')
            translation = message.find('translation')
            where = f'{ts.name}: {context.findtext("name")}: {source[:70]!r}'
            if translation.get('type'):
                yield f'{where}: {translation.get("type")}'
                continue
            plural = message.get('numerus') == 'yes'
            forms = [f.text or '' for f in translation.iter('numerusform')] if plural else [translation.text or '']
            if plural and len(forms) != 2:
                yield f'{where}: {len(forms)} plural forms, not 2'
            for form in forms:
                if not form.strip():
                    yield f'{where}: empty'
                elif placeholders(form) != placeholders(source):
                    yield f'{where}: placeholders of {form!r}'


def main(lupdate, include_dir, sources_list, *catalogues):
    sources = Path(sources_list).read_text().split()
    found = []
    with tempfile.TemporaryDirectory() as scratch:
        for catalogue in map(Path, catalogues):
            copy = Path(scratch) / catalogue.name
            shutil.copy(catalogue, copy)
            # The English catalogue holds only the plural forms.
            only = ['-pluralonly'] if catalogue.stem.endswith('_en') else []
            options = ['-silent', '-I', include_dir, '-no-obsolete', '-locations', 'none', *only]
            subprocess.run([lupdate, *options, *sources, '-ts', str(copy)], check=True)
            found += problems(copy)
    print('\n'.join(found) or f'{len(catalogues)} catalogues complete')
    return 1 if found else 0


if __name__ == '__main__':
    sys.exit(main(*sys.argv[1:]))
