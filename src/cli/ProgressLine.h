// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// One line on standard error, redrawn in place, for a terminal only.
class ProgressLine {
public:
    ProgressLine();
    bool isShown() const { return enabled_; }
    void update(int done, int total, const QString& currentFile);
    // Clears the line so that another line can be printed, then redraws it.
    void clear();
    void redraw();
    void finish();

private:
    bool enabled_;
    QString text_;
};
