// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/FilePrompts.h"

#include <QStringList>

#include <algorithm>
#include <functional>
#include <utility>

// Answers the window's questions as a test says and records what was asked.
class StubPrompts : public FilePrompts {
public:
    bool confirmAnswer = true;
    std::optional<QString> folderAnswer;
    QList<QUrl> filesAnswer;
    QUrl imageFolderAnswer;
    std::optional<QString> saveAnswer;
    QStringList told; // "title|text"
    QStringList asked; // "message|informative text|button" or "folder|message|button"
    // Runs inside the first question, as a dialog's own event loop would.
    std::function<void()> whileAsking;
    int mostOpenAtOnce = 0;

    bool confirm(const QString& message, const QString& text, const QString& button) override
    {
        asked << message + QLatin1Char('|') + text + QLatin1Char('|') + button;
        holdOpen();
        return confirmAnswer;
    }
    std::optional<QString> chooseFolder(const QString& message, const QString& button) override
    {
        asked << QStringLiteral("folder|") + message + QLatin1Char('|') + button;
        holdOpen();
        return folderAnswer;
    }
    QList<QUrl> chooseImageFiles() override { return filesAnswer; }
    QUrl chooseImageFolder() override { return imageFolderAnswer; }
    std::optional<QString> chooseSaveLocation(const QString& proposedName) override
    {
        asked << QStringLiteral("save|") + proposedName;
        return saveAnswer;
    }
    void inform(const QString& title, const QString& text) override { told << title + QLatin1Char('|') + text; }

private:
    void holdOpen()
    {
        mostOpenAtOnce = std::max(mostOpenAtOnce, ++open_);
        if (const auto hold = std::exchange(whileAsking, {}))
            hold();
        --open_;
    }
    int open_ = 0;
};
