// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QString>
#include <QUrl>

#include <optional>

// The modal questions the window asks. The program answers them with the
// desktop's dialogs; tests answer them directly.
class FilePrompts {
public:
    virtual ~FilePrompts() = default;
    // True when the user chose to go on.
    virtual bool confirm(const QString& message, const QString& informativeText, const QString& acceptButton) = 0;
    // Folder chosen, or nothing when cancelled. An empty message shows none.
    virtual std::optional<QString> chooseFolder(const QString& message, const QString& acceptButton) = 0;
    virtual QList<QUrl> chooseImageFiles() = 0;
    // A folder to add, or an empty URL when cancelled.
    virtual QUrl chooseImageFolder() = 0;
    // Where to save a new file, proposed as `proposedName`; nothing when cancelled.
    virtual std::optional<QString> chooseSaveLocation(const QString& proposedName) = 0;
    virtual void inform(const QString& title, const QString& text) = 0;
};
