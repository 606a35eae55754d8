// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "workers/WorkingFilesManager.h"

#include "workers/TemporaryFiles.h"

WorkingFilesManager& WorkingFilesManager::shared()
{
    static WorkingFilesManager manager;
    return manager;
}

void WorkingFilesManager::setWorkingFile(const QUrl& file, const QString& jobKey, IOFile::Ptr record)
{
    workingFiles_.insert(jobKey, file);
    if (record && record->path == file)
        records_.insert(jobKey, std::move(record));
    else
        records_.remove(jobKey);
    auto& files = registered_[jobKey];
    if (!files.contains(file))
        files.append(file);
}

std::optional<QUrl> WorkingFilesManager::workingFile(const QString& jobKey) const
{
    const auto it = workingFiles_.constFind(jobKey);
    if (it == workingFiles_.constEnd())
        return std::nullopt;
    return *it;
}

IOFile::Ptr WorkingFilesManager::workingRecord(const QString& jobKey) const
{
    return records_.value(jobKey);
}

void WorkingFilesManager::removeWorkingFile(const QString& jobKey)
{
    workingFiles_.remove(jobKey);
    records_.remove(jobKey);
}

void WorkingFilesManager::releaseJob(const QString& jobKey, const std::optional<QUrl>& keep)
{
    workingFiles_.remove(jobKey);
    records_.remove(jobKey);
    const QList<QUrl> files = registered_.take(jobKey);
    for (const QUrl& file : files)
        if (!keep || file != *keep)
            TemporaryFiles::removeLater(file.toLocalFile());
}
