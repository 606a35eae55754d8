// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Log.h"

#include <QCoreApplication>
#include <QMutex>
#include <QThread>

Q_LOGGING_CATEGORY(lcTools, "pressly.tools", QtWarningMsg)
Q_LOGGING_CATEGORY(lcJobs, "pressly.jobs", QtWarningMsg)
Q_LOGGING_CATEGORY(lcScheduler, "pressly.scheduler", QtWarningMsg)
Q_LOGGING_CATEGORY(lcResults, "pressly.results", QtWarningMsg)
Q_LOGGING_CATEGORY(lcStore, "pressly.store", QtWarningMsg)
Q_LOGGING_CATEGORY(lcVips, "pressly.vips", QtWarningMsg)

namespace {
QMutex logMutex;
QtMessageHandler qtHandler = nullptr;

Log::Sink& sinkSlot()
{
    static Log::Sink sink;
    return sink;
}

void deliver(QtMsgType type, const QString& message)
{
    // A sink belongs to the application's thread: lines from pooled threads
    // are posted there and meet whatever sink is set when they arrive.
    Log::Sink sink;
    {
        QMutexLocker lock(&logMutex);
        sink = sinkSlot();
    }
    if (!sink)
        return;
    auto* app = QCoreApplication::instance();
    if (app && QThread::currentThread() != app->thread()) {
        QMetaObject::invokeMethod(
            app, [type, message] { deliver(type, message); }, Qt::QueuedConnection);
        return;
    }
    // Called outside the lock: a sink may log in turn, or take its own time.
    sink(type, message);
}

void handle(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    bool ours = context.category && qstrncmp(context.category, "pressly.", 8) == 0;
    {
        QMutexLocker lock(&logMutex);
        ours = ours && bool(sinkSlot());
    }
    if (ours)
        deliver(type, message);
    else if (qtHandler)
        qtHandler(type, context, message);
}
} // namespace

namespace Log {

void setSink(Sink sink)
{
    QMutexLocker lock(&logMutex);
    static const bool installed = [] {
        qtHandler = qInstallMessageHandler(handle);
        return true;
    }();
    Q_UNUSED(installed);
    sinkSlot() = std::move(sink);
}

} // namespace Log
