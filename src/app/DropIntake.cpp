#include "app/DropIntake.h"

#include "jobs/ImageFileCollector.h"
#include "jobs/JobQueue.h"

#include <QCoroFuture>
#include <QCoroTimer>
#include <QElapsedTimer>
#include <QTimer>
#include <QtConcurrent>

#include <chrono>

namespace DropIntake {

QCoro::Task<QList<QUrl>> collectImages(QList<QUrl> items)
{
    // Awaiting the future and reading its result apart: g++ 12 frees the
    // awaited value too early in `co_return co_await`.
    QFuture<QList<QUrl>> walk = QtConcurrent::run([items] { return collectImageURLs(items); });
    co_await qCoro(walk).waitForFinished();
    QList<QUrl> found = walk.result();
    co_return found;
}

QCoro::Task<> addToQueue(QPointer<JobQueue> queue, QList<QUrl> urls)
{
    // Each job reads its file's first bytes; a frame's worth at a time.
    constexpr qint64 sliceMilliseconds = 8;
    QElapsedTimer slice;
    slice.start();
    for (const QUrl& url : urls) {
        if (!queue)
            co_return;
        co_await queue->addFile(url);
        if (slice.elapsed() >= sliceMilliseconds) {
            QTimer pause;
            pause.setSingleShot(true);
            pause.start(std::chrono::milliseconds(0));
            co_await pause;
            slice.restart();
        }
    }
}

QCoro::Task<> shutDown(JobQueue& queue)
{
    queue.cancelProcessing();
    co_await queue.waitUntilIdle();
}

} // namespace DropIntake
