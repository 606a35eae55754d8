// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "TestSupport.h"

#include <QStringList>
#include <QThread>

// A sink takes only our categories' lines, on the application's thread, and
// may log in turn (a front end reporting on its own output).
TEST(Log, ASinkTakesOurLinesOnTheApplicationsThread)
{
    TestSupport::LogCapture capture;
    auto lines = std::make_shared<QStringList>();
    Log::setSink([lines](QtMsgType, const QString& line) {
        EXPECT_EQ(QThread::currentThread(), QCoreApplication::instance()->thread());
        lines->append(line);
        if (lines->size() == 1)
            qCInfo(lcJobs) << "nested";
    });
    std::unique_ptr<QThread> pooled(QThread::create([] { qCInfo(lcTools, "photo %%1 %s.png", "%3"); }));
    pooled->start();
    pooled->wait();
    QLoggingCategory other("other.category");
    qCWarning(other) << "not ours";
    QCoreApplication::sendPostedEvents();
    Log::setSink({});
    EXPECT_EQ(*lines, (QStringList{"photo %1 %3.png", "nested"}));
}
