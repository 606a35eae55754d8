// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/OptimizationError.h"
#include "jobs/BatchSettings.h"
#include "jobs/Configuration.h"
#include "jobs/FileOperations.h"
#include "jobs/OptimizationJob.h"
#include "jobs/ReplacementJournal.h"
#include "platform/Trash.h"

#include <QString>
#include <QUrl>

#include <functional>
#include <optional>

class Configuration;
class IOFile;

// Puts a job's result where the settings want it: over the original (which
// goes to the Trash) or into the export folder. Each operation blocks until
// its bytes are on disk and answers nothing on success. The settings are read
// on the event-loop thread (`target`); the operations that take a target may
// then run on any thread.
class OutputPlacement {
public:
    using MoveToTrash = std::function<Trash::Outcome(const QString& path)>;
    // The preset plays no part here.
    using Target = BatchSettings;

    explicit OutputPlacement(const Configuration& configuration, MoveToTrash moveToTrash = Trash::moveToTrash);

    Target target() const;
    // `sourceAsRead`: the source as it was when the job read it; a source
    // changed since then is not replaced by a result made from older bytes.
    // `revertURL` receives where the original went in the Trash, `exportedURL`
    // where the copy went in the export folder.
    std::optional<OptimizationError> placeOutput(const Target& target, const OptimizationJob& job,
                                                 const QString& outputPath,
                                                 const std::optional<FileOperations::Identity>& sourceAsRead,
                                                 std::optional<QUrl>* revertURL,
                                                 std::optional<QUrl>* exportedURL = nullptr) const;
    std::optional<OptimizationError> exportOriginalCopy(const Target& target, const OptimizationJob& job) const;

    // The same on the event-loop thread, with the settings of this moment.
    std::optional<OptimizationError> placeOutput(OptimizationJob& job, const IOFile& record,
                                                 const std::optional<FileOperations::Identity>& sourceAsRead = {});
    std::optional<OptimizationError> exportOriginalCopy(const OptimizationJob& job);
    // The original stays recoverable throughout: at its path, or in the Trash.
    std::optional<OptimizationError> replaceOriginal(const QUrl& source, const QUrl& optimized,
                                                     OptimizationJob* job = nullptr,
                                                     const std::optional<FileOperations::Identity>& sourceAsRead = {});
    // "a.png" when free, else "a (1).png", "a (2).png" and so on.
    static QUrl uniqueDestination(const QUrl& wanted);

private:
    QString exportFolder() const;
    std::optional<OptimizationError> replace(const QString& sourcePath, const QString& optimizedPath,
                                             const std::optional<FileOperations::Identity>& sourceAsRead,
                                             std::optional<QUrl>* revertURL) const;
    // Once per folder and process: hidden files a killed run left there.
    static void removeStaleFilesOnce(const QString& folder);
    // The copy gets the permission bits of `original`, the user's file.
    static std::optional<OptimizationError> copyIntoFolder(const QString& folder, const QString& from,
                                                           const QString& fileName, const QString& original,
                                                           QString* placedAt = nullptr);

    const Configuration& configuration_;
    MoveToTrash moveToTrash_;
    ReplacementJournal journal_;
};
