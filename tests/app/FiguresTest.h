// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

// The savings the panel and the dashboard show, worked out from known jobs and sessions.
class FiguresTest : public QObject {
    Q_OBJECT
private slots:
    void panelSavingsAgreeWithItsBytes();
    void dashboardReductionCountsBytes();
};
