#include "TestSupport.h"
#include "platform/Log.h"

#include <QCoroFuture>
#include <QCoroTask>
#include <QThread>
#include <QtConcurrent/QtConcurrentRun>

#include <gtest/gtest.h>

// A sink may touch the window's objects: it only ever runs on their thread.
TEST(Log, LinesFromPooledThreadsReachTheSinkOnTheApplicationThread)
{
    QList<QThread*> threads;
    QStringList lines;
    Log::setSink([&](const QString& line) {
        threads << QThread::currentThread();
        lines << line;
    });
    QCoro::waitFor(qCoro(QtConcurrent::run([] { Log::line(QStringLiteral("from a pool")); })).waitForFinished());
    Log::line(QStringLiteral("from the loop"));
    TestSupport::processEventsUntil([&] { return lines.size() == 2; });
    Log::setSink({});
    EXPECT_EQ(lines, (QStringList{"from a pool", "from the loop"}));
    EXPECT_EQ(threads, (QList<QThread*>{qApp->thread(), qApp->thread()}));
}
