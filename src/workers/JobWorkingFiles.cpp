// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "workers/JobWorkingFiles.h"

#include "platform/BackgroundTask.h"
#include "workers/TemporaryFiles.h"
#include "workers/WorkingFilesManager.h"

#include <QCoroFuture>
#include <QFileInfo>

#include <algorithm>

namespace JobWorkingFiles {

QString key(const JobContext& job)
{
    return job.id().toString(QUuid::WithoutBraces);
}

IOFile::Ptr workingInputFile(const JobContext& job)
{
    const auto& manager = WorkingFilesManager::shared();
    if (IOFile::Ptr known = manager.workingRecord(key(job)))
        return known;
    return IOFile::read(manager.workingFile(key(job)).value_or(job.fileURL()));
}

bool recordResult(JobContext& job, const IOFile& result, const QString& toolName)
{
    // A chained step starts from the working file, so one that is worse than
    // the best so far must not replace it; the working file itself may be
    // recorded again under a longer chain's name.
    const auto working = WorkingFilesManager::shared().workingFile(key(job));
    const qint64 best = working && *working == result.path ? job.originalSize()
                                                           : job.optimizedSize().value_or(job.originalSize());
    if (result.byteSize >= std::min(job.originalSize(), best))
        return false;
    // Registered before returning, so the job's next tool starts from this file.
    WorkingFilesManager::shared().setWorkingFile(result.path, key(job), std::make_shared<IOFile>(result));
    job.recordToolResult(toolName, result.byteSize);
    return true;
}

QCoro::Task<> keepOrDelete(JobContext::Ptr job, IOFileType inputKind, QUrl output, bool written, QString toolName)
{
    if (written) {
        const auto read = [output] { return QFileInfo::exists(output.toLocalFile()) ? IOFile::read(output) : nullptr; };
        const IOFile::Ptr result = co_await BackgroundTask::run(read);
        // An output of another kind would put, say, JPEG bytes under a .png name.
        if (result && result->fileType == inputKind && recordResult(*job, *result, toolName))
            co_return;
    }
    TemporaryFiles::removeLater(output.toLocalFile());
}

} // namespace JobWorkingFiles
