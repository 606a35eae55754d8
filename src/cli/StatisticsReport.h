// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class StatisticsTracker;

// The all-time figures and every batch, as `pressly --statistics` prints them.
class StatisticsReport {
public:
    explicit StatisticsReport(const StatisticsTracker& tracker) : tracker_(tracker) { }

    // Lines for a person, or one JSON object whose sessions are as stored.
    QString text(bool json) const;

private:
    QString plain() const;
    QString asJson() const;

    const StatisticsTracker& tracker_;
};
