#include "platform/Log.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QMutex>
#include <QThread>

#include <cstdio>
#include <unistd.h>

namespace {
QMutex logMutex;
Log::Sink& sinkSlot()
{
    static Log::Sink sink;
    return sink;
}
} // namespace

namespace Log {

void line(const QString& message)
{
    // A sink belongs to the application's thread: lines from pooled threads
    // are posted there and meet whatever sink is set when they arrive.
    Sink sink;
    {
        QMutexLocker lock(&logMutex);
        sink = sinkSlot();
    }
    auto* app = QCoreApplication::instance();
    if (sink && app && QThread::currentThread() != app->thread()) {
        QMetaObject::invokeMethod(app, [message] { line(message); }, Qt::QueuedConnection);
        return;
    }
    // Called outside the lock: a sink may log in turn, or take its own time.
    if (sink) {
        sink(message);
        return;
    }
    const QByteArray bytes = message.toUtf8() + '\n';
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
    std::fflush(stdout);
}

void stamped(const QString& message)
{
    const QString program = QCoreApplication::applicationName().isEmpty()
                                ? QStringLiteral("pressly")
                                : QCoreApplication::applicationName();
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz"));
    line(QStringLiteral("%1 %2[%3] %4").arg(stamp, program, QString::number(qint64(getpid())), message));
}

void setSink(Sink sink)
{
    QMutexLocker lock(&logMutex);
    sinkSlot() = std::move(sink);
}

} // namespace Log
