// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "workers/IOFile.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QUrl>

#include <optional>

// The working file of each job: the latest accepted output, from which the
// job's next tool starts. Keyed by the job's id, so two jobs of the same file
// never share an entry. It also remembers every file registered for a job so
// the end of the job can delete them all. Used on the event-loop thread only.
class WorkingFilesManager {
public:
    static WorkingFilesManager& shared();

    // With `record`, what was read of the file, so the next tool starts
    // without touching the disk on the event loop.
    void setWorkingFile(const QUrl& file, const QString& jobKey, IOFile::Ptr record = nullptr);
    std::optional<QUrl> workingFile(const QString& jobKey) const;
    // The record given with the current working file, if any.
    IOFile::Ptr workingRecord(const QString& jobKey) const;
    // Forgets the entry; the files stay on disk.
    void removeWorkingFile(const QString& jobKey);
    // Forgets the entry and deletes, off this thread, every temporary file of
    // ours that was registered for the job, except `keep`.
    void releaseJob(const QString& jobKey, const std::optional<QUrl>& keep = std::nullopt);

private:
    QHash<QString, QUrl> workingFiles_;
    QHash<QString, IOFile::Ptr> records_;
    QHash<QString, QList<QUrl>> registered_;
};
