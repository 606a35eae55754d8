// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// What the command line prints of names and messages it did not write: a
// control character in a file name would otherwise recolour the terminal,
// move its cursor or forge a line of output.
class TerminalText {
public:
    // The name unchanged when it holds no control character; else quoted as
    // ls quotes it on a terminal, ready to paste into a shell:
    // 'ctrl'$'\033''[31m.png'.
    static QString quoted(const QString& name);
    // The text with each control character replaced by '?'.
    static QString withoutControls(const QString& text);

private:
    static bool isControl(QChar c);
    static QString escaped(QChar c);
};
