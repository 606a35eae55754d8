#pragma once

#include "core/OptimizationError.h"
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
// goes to the Trash) or into the export folder. Runs on the event-loop thread;
// the copies are synchronous. Each operation answers nothing on success.
class OutputPlacement {
public:
    using MoveToTrash = std::function<Trash::Outcome(const QString& path)>;

    explicit OutputPlacement(const Configuration& configuration, MoveToTrash moveToTrash = Trash::moveToTrash);

    // `sourceAsRead`: the source as it was when the job read it; a source
    // changed since then is not replaced by a result made from older bytes.
    std::optional<OptimizationError> placeOutput(OptimizationJob& job, const IOFile& record,
                                                 const std::optional<FileOperations::Identity>& sourceAsRead = {});
    // The original stays recoverable throughout: at its path, or in the Trash.
    std::optional<OptimizationError> replaceOriginal(const QUrl& source, const QUrl& optimized,
                                                     OptimizationJob* job = nullptr,
                                                     const std::optional<FileOperations::Identity>& sourceAsRead = {});
    std::optional<OptimizationError> exportOriginalCopy(const OptimizationJob& job);
    // "a.png" when free, else "a (1).png", "a (2).png" and so on.
    static QUrl uniqueDestination(const QUrl& wanted);

private:
    QString exportFolder() const;
    // Once per folder and process: hidden files a killed run left there
    // (after the journal's interrupted replacements, once per process).
    static void removeStaleFilesOnce(const QString& folder);
    std::optional<OptimizationError> copyIntoFolder(const QString& folder, const QString& from,
                                                    const QString& fileName);

    const Configuration& configuration_;
    MoveToTrash moveToTrash_;
    ReplacementJournal journal_;
};
