// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

#include <chrono>
#include <optional>

// What a command line asked for. Settings left unset fall back to the stored
// preferences; nothing given here is stored.
struct CommandLineOptions {
    enum class Mode { stored, inPlace, exportTo };

    std::optional<QString> preset;
    Mode mode = Mode::stored;
    QString exportDir;
    std::optional<int> jobs;
    bool noCache = false;
    bool json = false;
    bool quiet = false;
    bool verbose = false;
    bool help = false;
    bool version = false;
    bool statistics = false;
    bool watch = false;
    std::chrono::milliseconds settle{2000};
    QStringList paths;

    // Fills `error` with a message for the user when the line is not usable.
    static std::optional<CommandLineOptions> parse(const QStringList& arguments, QString* error);
    static QString helpText();
};
