// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "jobs/ImageSizeGuard.h"

#include "platform/BackgroundTask.h"
#include "platform/ImageHeader.h"
#include "platform/Log.h"

#include <QCoroFuture>

QCoro::Task<bool> ImageSizeGuard::refuses(OptimizationJob::Ptr job, IOFile::Ptr source)
{
    // A drawing's declared size is no buffer anyone allocates.
    if (source->fileType == IOFileType::svg)
        co_return false;
    auto readHeader = [path = source->localPath()] {
        QString why;
        return ImageHeader::read(path, &why);
    };
    const auto size = co_await BackgroundTask::run(readHeader);
    // Without a header the tools fail, and the damage check says why.
    if (!size)
        co_return false;
    job->setDeclaredPixels(size->pixels());
    const QString refusal = ImageHeader::refusal(*size);
    if (refusal.isEmpty())
        co_return false;
    qCWarning(lcJobs).noquote() << QStringLiteral("Refused %1: %2").arg(job->fileName(), refusal);
    job->fail(OptimizationError::unsupportedFileType(refusal));
    co_return true;
}
