// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QSet>
#include <QString>
#include <QStringList>

#include <optional>

// What an SVG document holds that a cleaner must keep, read with an XML
// reader from its bytes in the encoding they declare: the root's size, the
// ids of its SVG elements (pages show a sprite's symbols by id from outside
// the file) and the words of its text elements.
struct SvgContent {
    QString width; // the root's attributes as written
    QString height;
    bool hasViewBox = false;
    QSet<QString> ids;
    QStringList texts; // one per outermost text element, whitespace collapsed, sorted

    // Nothing when the bytes are not a well-formed document with an <svg>
    // root in an encoding this reader knows; `why` then completes "the file …".
    static std::optional<SvgContent> read(const QByteArray& bytes, QString* why);
};
