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
    Q_INVOKABLE QObject* emptyPanel()
    {
        auto* configuration = new Configuration(this);
        auto* queue = new JobQueue(*configuration, 1, std::nullopt, configuration);
        return new StatsPanel(*queue, StatisticsTracker::shared(), queue);
    }

private:
    StubPrompts prompts_;
};
