#include "TestSupport.h"
#include "platform/Log.h"

#include <QCoroFuture>
#include <QThread>
#include <QtConcurrent/QtConcurrentRun>

#include <gtest/gtest.h>

// A sink may touch the window's objects: it only ever runs on their thread.
TEST(Log, LinesFromPooledThreadsReachTheSinkOnTheApplicationThread)
{
    QList<QThread*> threads;
    Log::setSink([&](const QString&) { threads << QThread::currentThread(); });
    QCoro::waitFor(qCoro(QtConcurrent::run([] { Log::line(QStringLiteral("from a pool")); })).waitForFinished());
    TestSupport::processEventsUntil([&] { return !threads.isEmpty(); });
    Log::setSink({});
    EXPECT_EQ(threads, QList<QThread*>{qApp->thread()});
}
