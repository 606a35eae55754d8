// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/DropIntake.h"

#include "jobs/ImageFileCollector.h"
#include "jobs/JobQueue.h"
#include "platform/BackgroundTask.h"

#include <QCoroFuture>
#include <QDirIterator>
#include <QFileInfo>

namespace DropIntake {

namespace {
// Visible files only, as the image walk takes them.
int countFiles(const QList<QUrl>& items)
{
    int count = 0;
    for (const QUrl& item : items) {
        const QFileInfo info(item.toLocalFile());
        if (info.isFile()) {
            ++count;
        } else if (info.isDir()) {
            QDirIterator files(info.filePath(), QDir::Files | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
            for (; files.hasNext(); files.next())
                ++count;
        }
    }
    return count;
}
} // namespace

QCoro::Task<Collected> collectImages(QList<QUrl> items)
{
    // Awaiting the future and reading its result apart: g++ 12 frees the
    // awaited value too early in `co_return co_await`.
    QFuture<Collected> walk = BackgroundTask::run([items] {
        Collected collected{collectImageURLs(items)};
        if (collected.images.isEmpty())
            collected.skipped = countFiles(items);
        return collected;
    });
    co_await qCoro(walk).waitForFinished();
    Collected found = walk.result();
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
