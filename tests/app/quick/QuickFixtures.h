// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "../StubPrompts.h"
#include "app/StatisticsDashboard.h"
#include "app/StatsPanel.h"
#include "jobs/JobQueue.h"
#include "store/StatisticsTracker.h"

#include <QVariantMap>

// Controllers over fresh engine objects, for the components under test.
class QuickFixtures : public QObject {
    Q_OBJECT
public:
    // Each session: {saved, original, hoursAgo}.
    Q_INVOKABLE QObject* dashboard(const QVariantList& sessions)
    {
        auto* tracker = new StatisticsTracker(QStringLiteral(":memory:"), this);
        for (const QVariant& entry : sessions) {
            const QVariantMap m = entry.toMap();
            SessionRecord record;
            record.totalSavedBytes = m.value("saved").toLongLong();
            record.totalOriginalBytes = m.value("original").toLongLong();
            record.date = QDateTime::currentDateTimeUtc().addSecs(-3600 * m.value("hoursAgo").toLongLong());
            tracker->insertSession(0, record);
        }
        return new StatisticsDashboard(*tracker, prompts_, tracker);
    }
    // More sessions for a dashboard made above, as a batch ending meanwhile would add.
    Q_INVOKABLE void addSessions(QObject* dashboard, int count)
    {
        auto* tracker = qobject_cast<StatisticsTracker*>(dashboard->parent());
        for (int i = 0; i < count; ++i) {
            SessionRecord record;
            record.totalOriginalBytes = 100;
            record.totalSavedBytes = 10;
            record.date = QDateTime::currentDateTimeUtc().addSecs(-3600 * i);
            tracker->insertSession(0, record);
        }
    }
    Q_INVOKABLE QObject* emptyPanel()
    {
        auto* configuration = new Configuration(this);
        auto* queue = new JobQueue(*configuration, 1, std::nullopt, configuration);
        return new StatsPanel(*queue, StatisticsTracker::shared(), queue);
    }

private:
    StubPrompts prompts_;
};
