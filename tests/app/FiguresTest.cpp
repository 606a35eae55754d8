// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "FiguresTest.h"

#include "StubPrompts.h"
#include "app/StatisticsDashboard.h"
#include "app/StatsPanel.h"
#include "jobs/Configuration.h"
#include "jobs/JobQueue.h"
#include "store/StatisticsTracker.h"

#include <QCoroTask>
#include <QTemporaryDir>
#include <QtTest>

void FiguresTest::panelSavingsAgreeWithItsBytes()
{
    struct Outcome {
        qint64 original;
        qint64 optimized;
        bool restored;
    };
    // One saver of 75 %, one of 10 %, one unchanged and one restored: the mean
    // of the savers' percentages (42.5) is not what the bytes say (760 of 2,000).
    const QList<Outcome> outcomes{{1000, 250, false}, {100, 90, false}, {500, 500, false}, {400, 100, true}};
    QTemporaryDir folder;
    QList<QUrl> files;
    for (qsizetype i = 0; i < outcomes.size(); ++i) {
        const QString path = folder.filePath(QStringLiteral("image-%1.png").arg(i));
        QVERIFY(QFile::copy(QStringLiteral(PRESSLY_TEST_DATA "/png/pingus-flag3.png"), path));
        files.append(QUrl::fromLocalFile(path));
    }
    Configuration configuration;
    JobQueue queue(configuration, 1);
    StatsPanel panel(queue, StatisticsTracker::shared());
    queue.addFiles(files);
    QTRY_COMPARE(queue.jobCount(), int(outcomes.size()));
    queue.cancelProcessing();
    QCoro::waitFor(queue.waitUntilIdle());
    // The outcomes are set by hand: what the tools make of the file does not matter here.
    for (qsizetype i = 0; i < outcomes.size(); ++i) {
        OptimizationJob& job = *queue.jobs().at(i);
        job.setOriginalSize(outcomes[i].original);
        job.setOptimizedSize(outcomes[i].optimized);
        job.setStatus(JobStatus::completed);
        job.setRestored(outcomes[i].restored);
    }
    QCOMPARE(panel.savedBytes(), 760);
    QCOMPARE(panel.savingsShare(), 0.38);
    QCOMPARE(panel.savingsShareText(), QStringLiteral("38.0"));
    QCOMPARE(panel.madeSmallerText(), QStringLiteral("Files made smaller: 2\u00A0of\u00A04"));
}

void FiguresTest::dashboardReductionCountsBytes()
{
    StatisticsTracker tracker(QStringLiteral(":memory:"));
    StubPrompts prompts;
    StatisticsDashboard dashboard(tracker, prompts);
    QCOMPARE(dashboard.reductionText(), QStringLiteral("0.0%"));
    SessionRecord first;
    first.totalOriginalBytes = 1000;
    first.totalSavedBytes = 600;
    SessionRecord second;
    second.totalOriginalBytes = 3000;
    second.totalSavedBytes = 200;
    tracker.addFiles(3, 1, 600, first);
    tracker.addFiles(30, 28, 200, second);
    // 800 of 4,000 bytes, though 29 of 33 files got smaller.
    QCOMPARE(dashboard.reductionText(), QStringLiteral("20.0%"));
    QCOMPARE(dashboard.madeSmallerText(), QStringLiteral("29 of 33"));
    // A restore takes its saving back; the bytes before stay those processed.
    tracker.withdrawFile(400);
    QCOMPARE(dashboard.reductionText(), QStringLiteral("10.0%"));
    QCOMPARE(dashboard.madeSmallerText(), QStringLiteral("28 of 33"));
}
