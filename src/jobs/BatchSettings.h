// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "jobs/Configuration.h"

#include <QString>

// What a drop was confirmed with. A job keeps them from its drop to its end:
// settings changed meanwhile apply to the next drop.
struct BatchSettings {
    Configuration::OperationMode mode = Configuration::OperationMode::optimizeOriginals;
    QString exportFolder;
    QString preset;

    bool exporting() const { return mode == Configuration::OperationMode::exportToFolder; }
};
