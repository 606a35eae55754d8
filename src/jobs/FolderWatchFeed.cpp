// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "jobs/FolderWatchFeed.h"

#include "jobs/JobQueue.h"

#include <QDir>
#include <QFileInfo>
#include <QUrl>

#include <algorithm>
#include <utility>

FolderWatchFeed::FolderWatchFeed(JobQueue& queue, std::chrono::milliseconds settle,
                                 std::optional<BatchSettings> settings, QObject* parent)
    : QObject(parent), queue_(queue), settings_(std::move(settings)), settler_(settle)
{
    connect(&watcher_, &FolderWatcher::fileWritten, &settler_, &FileSettler::noticed);
    connect(&watcher_, &FolderWatcher::fileModified, &settler_, &FileSettler::modified);
    // The settler holds a file still being written until it settles and is closed.
    connect(&watcher_, &FolderWatcher::fileCreated, &settler_, &FileSettler::noticed);
    connect(&settler_, &FileSettler::ready, this, &FolderWatchFeed::take);
    connect(&queue_, &JobQueue::jobsAdded, this, [this](int first, int last) {
        for (int index = first; index <= last; ++index)
            follow(*queue_.jobs().at(index));
    });
}

bool FolderWatchFeed::addRoot(const QString& folder)
{
    roots_.append(QDir::cleanPath(QFileInfo(folder).absoluteFilePath()) + QLatin1Char('/'));
    return watcher_.addRoot(folder);
}

void FolderWatchFeed::stop()
{
    settler_.disconnect(this);
    watcher_.disconnect();
}

void FolderWatchFeed::take(const QStringList& paths)
{
    QList<QUrl> urls;
    for (const QString& path : paths)
        urls.append(QUrl::fromLocalFile(path));
    outstanding_.unite(QSet<QString>(paths.begin(), paths.end()));
    if (settings_)
        queue_.addFiles(urls, *settings_);
    else
        queue_.addFiles(urls);
}

bool FolderWatchFeed::isOurs(const QString& path) const
{
    return std::any_of(roots_.begin(), roots_.end(), [&](const QString& root) { return path.startsWith(root); });
}

void FolderWatchFeed::follow(OptimizationJob& job)
{
    if (!isOurs(job.fileURL().toLocalFile()))
        return;
    if (isFinal(job.status()))
        return ended(job);
    connect(&job, &OptimizationJob::statusChanged, this, [this, raw = &job] {
        if (isFinal(raw->status()))
            ended(*raw);
    });
}

void FolderWatchFeed::ended(const OptimizationJob& job)
{
    const QString path = job.fileURL().toLocalFile();
    settler_.finished(path);
    // An export folder inside a watched one must not feed itself.
    if (job.exportedLocation().isLocalFile())
        settler_.finished(job.exportedLocation().toLocalFile());
    if (!outstanding_.remove(path))
        return;
    ++burstImages_;
    burstSaved_ += JobQueue::savedBytes(job) ? JobQueue::savingInBytes(job) : 0;
    // Groups that settle while earlier ones still run join their burst.
    if (outstanding_.isEmpty())
        emit burstFinished(std::exchange(burstImages_, 0), std::exchange(burstSaved_, 0));
}
