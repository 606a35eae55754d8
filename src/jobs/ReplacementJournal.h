// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <optional>

// Replacements in progress, one small file each in the application data
// folder, on disk before the original goes to the Trash and removed once the
// new version has its name. A run that was cut off in between leaves its entry,
// and the next run finishes (or undoes) that replacement wherever it was.
class ReplacementJournal {
public:
    // $XDG_DATA_HOME/Pressly Pro/replacements
    static QString defaultFolder();

    explicit ReplacementJournal(QString folder = defaultFolder());

    // Records that the hidden `replacement` is about to take `original`'s
    // place. Answers the entry to end, or nothing with `error` set.
    std::optional<QString> begin(const QString& original, const QString& replacement, QString* error) const;
    void end(const QString& entry) const;

    // Settles what runs that ended early left listed: the new version takes
    // its name when the name is free, else the hidden file goes. Front ends
    // call it at start-up. Answers how many entries were settled.
    int recoverInterrupted() const;

private:
    bool settle(const QString& entry) const;

    QString folder_;
};
