#include "app/DropIntake.h"

#include "jobs/ImageFileCollector.h"
#include "jobs/JobQueue.h"
#include "platform/BackgroundTask.h"

#include <QCoroFuture>

namespace DropIntake {

QCoro::Task<QList<QUrl>> collectImages(QList<QUrl> items)
{
    // Awaiting the future and reading its result apart: g++ 12 frees the
    // awaited value too early in `co_return co_await`.
    QFuture<QList<QUrl>> walk = BackgroundTask::run([items] { return collectImageURLs(items); });
    co_await qCoro(walk).waitForFinished();
    QList<QUrl> found = walk.result();
    co_return found;
}

QCoro::Task<> addToQueue(QPointer<JobQueue> queue, QList<QUrl> urls)
{
    // The queue reads the files on a pool and lets their jobs join in groups.
    if (queue)
        queue->addFiles(urls);
    co_return;
}

QCoro::Task<> shutDown(JobQueue& queue)
{
    co_await queue.shutdown();
}

} // namespace DropIntake
