// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

// One window per user, across real processes of the installed program.
class SingleInstanceTest : public QObject {
    Q_OBJECT
private slots:
    void staleSocketTakenOverAndFilesHandedOver();
    void launchesAtOnceEndWithOneWindow();
};
