#include "platform/Log.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QLoggingCategory>
#include <QMutex>
#include <QThread>

#include <cstdio>
#include <unistd.h>

Q_LOGGING_CATEGORY(toolsCategory, "pressly.tools")
Q_LOGGING_CATEGORY(resultsCategory, "pressly.results")
Q_LOGGING_CATEGORY(engineCategory, "pressly.engine")

namespace {
QMutex logMutex;
Log::Sink& sinkSlot()
{
    static Log::Sink sink;
    return sink;
}

// Told apart by their text, so that the many call sites stay as they are.
const QLoggingCategory& categoryOf(const QString& message)
{
    if (message.startsWith(QStringLiteral("Optimized ")))
        return resultsCategory();
    // Something the user can act on: install the tool.
    if (message.endsWith(QStringLiteral(" not found in bundle or system")))
        return engineCategory();
    const QChar first = message.isEmpty() ? QChar() : message.front();
    const bool sentence = first.unicode() < 128 && first.isUpper() && !message.startsWith(QStringLiteral("Phase "));
    return sentence ? engineCategory() : toolsCategory();
}

void write(const QLoggingCategory& category, const QString& message)
{
    if (!category.isInfoEnabled())
        return;
    // A sink belongs to the application's thread: lines from pooled threads
    // are posted there and meet whatever sink is set when they arrive.
    Log::Sink sink;
    {
        QMutexLocker lock(&logMutex);
        sink = sinkSlot();
    }
    auto* app = QCoreApplication::instance();
    if (sink && app && QThread::currentThread() != app->thread()) {
        QMetaObject::invokeMethod(app, [&category, message] { write(category, message); }, Qt::QueuedConnection);
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
} // namespace

namespace Log {

void line(const QString& message) { write(categoryOf(message), message); }

void stamped(const QString& message)
{
    const QString program = QCoreApplication::applicationName().isEmpty()
                                ? QStringLiteral("pressly")
                                : QCoreApplication::applicationName();
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz"));
    write(toolsCategory(),
          QStringLiteral("%1 %2[%3] %4").arg(stamp, program, QString::number(qint64(getpid())), message));
}

void setSink(Sink sink)
{
    QMutexLocker lock(&logMutex);
    sinkSlot() = std::move(sink);
}

} // namespace Log
