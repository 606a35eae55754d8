// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <cstdio>

class OptimizationJob;

// The line the command line prints for one finished file, e.g.
// "photo.png: 1.2 MB → 640 KB (−47%) pngquant+oxipng", or why it failed.
class ResultLine {
public:
    explicit ResultLine(bool colour) : colour_(colour) { }

    QString text(const OptimizationJob& job) const;

    // Colour only on a terminal, and never when NO_COLOR is set (no-color.org).
    static bool colourWanted(std::FILE* stream);

private:
    QString paint(const QString& text, const char* code) const;
    static QString shownName(const QString& path);
    static QString percentSaved(qint64 before, qint64 after);

    bool colour_;
};
