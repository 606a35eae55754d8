// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QCoroTask>
#include <QList>
#include <QPointer>
#include <QUrl>

class JobQueue;

// How dropped items reach the queue without stalling the window. The folder
// walk runs on a pool thread, and so does the reading of each file.
namespace DropIntake {
struct Collected {
    QList<QUrl> images;
    // Files passed over as not a supported image; counted only when no image
    // was found, which is when the user is told.
    int skipped = 0;
};
QCoro::Task<Collected> collectImages(QList<QUrl> items);
// Stops early when the queue is gone.
QCoro::Task<> addToQueue(QPointer<JobQueue> queue, QList<QUrl> urls);
// Stops intake and the batch and resolves once no job runs any more, so no
// replacement is left half done and no working file is left.
QCoro::Task<> shutDown(JobQueue& queue);
} // namespace DropIntake
