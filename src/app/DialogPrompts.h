// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/FilePrompts.h"

// The questions asked with Qt's message boxes and the desktop's file choosers.
class DialogPrompts : public FilePrompts {
public:
    bool confirm(const QString& message, const QString& informativeText, const QString& acceptButton) override;
    std::optional<QString> chooseFolder(const QString& message, const QString& acceptButton) override;
    QList<QUrl> chooseImageFiles() override;
    QUrl chooseImageFolder() override;
    std::optional<QString> chooseSaveLocation(const QString& proposedName) override;
    void inform(const QString& title, const QString& text) override;
};
