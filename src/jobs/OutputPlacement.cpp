// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "jobs/OutputPlacement.h"

#include "jobs/Configuration.h"
#include "jobs/FileOperations.h"
#include "jobs/UserPreferences.h"
#include "workers/IOFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QMutex>
#include <QScopeGuard>
#include <QSet>

#include <cerrno>
#include <climits>
#include <cstring>
#include <mutex>

namespace {

QString changedMessage(const QString& path)
{
    return QCoreApplication::translate("OutputPlacement",
                                       "The file “%1” couldn’t be replaced: it changed while it was being optimized.")
        .arg(QFileInfo(path).fileName());
}

} // namespace

OutputPlacement::OutputPlacement(const Configuration& configuration, MoveToTrash moveToTrash)
    : configuration_(configuration), moveToTrash_(std::move(moveToTrash))
{
}

OutputPlacement::Target OutputPlacement::target() const
{
    return {configuration_.operationMode(), exportFolder(), {}};
}

std::optional<OptimizationError>
OutputPlacement::placeOutput(const Target& target, const OptimizationJob& job, const QString& outputPath,
                             const std::optional<FileOperations::Identity>& sourceAsRead,
                             std::optional<QUrl>* revertURL, std::optional<QUrl>* exportedURL) const
{
    if (target.mode == Configuration::OperationMode::optimizeOriginals)
        return replace(job.fileURL().toLocalFile(), outputPath, sourceAsRead, revertURL);
    if (target.exportFolder.isEmpty())
        return OptimizationError::fileAccess(QCoreApplication::translate(
            "OutputPlacement", "No export folder selected. Please choose an export folder in settings."));
    QString placedAt;
    auto error = copyIntoFolder(target.exportFolder, outputPath, job.fileName(), job.fileURL().toLocalFile(),
                                &placedAt);
    if (!error && exportedURL)
        *exportedURL = QUrl::fromLocalFile(placedAt);
    return error;
}

std::optional<OptimizationError> OutputPlacement::exportOriginalCopy(const Target& target,
                                                                     const OptimizationJob& job) const
{
    if (target.exportFolder.isEmpty())
        return OptimizationError::fileAccess(
            QCoreApplication::translate("OutputPlacement", "No export folder selected."));
    const QString original = job.fileURL().toLocalFile();
    return copyIntoFolder(target.exportFolder, original, job.fileName(), original);
}

std::optional<OptimizationError>
OutputPlacement::placeOutput(OptimizationJob& job, const IOFile& record,
                             const std::optional<FileOperations::Identity>& sourceAsRead)
{
    std::optional<QUrl> revertURL;
    const auto error = placeOutput(target(), job, record.localPath(), sourceAsRead, &revertURL);
    if (revertURL)
        job.setRevertURL(revertURL);
    return error;
}

std::optional<OptimizationError> OutputPlacement::exportOriginalCopy(const OptimizationJob& job)
{
    return exportOriginalCopy(target(), job);
}

std::optional<OptimizationError>
OutputPlacement::replaceOriginal(const QUrl& source, const QUrl& optimized, OptimizationJob* job,
                                 const std::optional<FileOperations::Identity>& sourceAsRead)
{
    std::optional<QUrl> revertURL;
    const auto error = replace(source.toLocalFile(), optimized.toLocalFile(), sourceAsRead, &revertURL);
    if (job && revertURL)
        job->setRevertURL(revertURL);
    return error;
}

std::optional<OptimizationError> OutputPlacement::replace(const QString& sourcePath, const QString& optimizedPath,
                                                          const std::optional<FileOperations::Identity>& sourceAsRead,
                                                          std::optional<QUrl>* revertURL) const
{
    removeStaleFilesOnce(QFileInfo(sourcePath).absolutePath());
    if (sourceAsRead && FileOperations::identityOf(sourcePath) != sourceAsRead)
        return OptimizationError::platform(changedMessage(sourcePath));
    QString error;
    const auto replacement = FileOperations::writeReplacementBeside(sourcePath, optimizedPath, &error);
    if (!replacement)
        return OptimizationError::platform(error);
    // Writing the replacement takes a while: an edit made meanwhile must not
    // go to the Trash under the older version's result.
    if (sourceAsRead && FileOperations::identityOf(sourcePath) != sourceAsRead) {
        QFile::remove(*replacement);
        return OptimizationError::platform(changedMessage(sourcePath));
    }
    // Listed before the original leaves: a run cut off from here on is finished by the next.
    const auto entry = journal_.begin(sourcePath, *replacement, &error);
    if (!entry) {
        QFile::remove(*replacement);
        return OptimizationError::platform(error);
    }
    const auto settle = qScopeGuard([&] { journal_.end(*entry); });

    Trash::Outcome trashed;
    if (FileOperations::injectedFault("trash", sourcePath))
        trashed.error = QCoreApplication::translate("OutputPlacement",
                                                    "The file “%1” couldn’t be moved to the Trash: %2")
                            .arg(QFileInfo(sourcePath).fileName(), QString::fromLocal8Bit(std::strerror(errno)));
    else
        trashed = moveToTrash_(sourcePath);
    if (!trashed.ok) {
        QFile::remove(*replacement);
        return OptimizationError::platform(trashed.error);
    }
    // What went to the Trash must be the version the job read: a file saved
    // over it in the meantime goes back, untouched.
    const auto inTrash = FileOperations::identityOf(trashed.pathInTrash);
    if (sourceAsRead && !trashed.pathInTrash.isEmpty() && !(inTrash && inTrash->sameAfterMove(*sourceAsRead))) {
        QFile::remove(*replacement);
        const bool restored = !FileOperations::restoreFromTrash(trashed.pathInTrash, sourcePath);
        return OptimizationError::platform(
            changedMessage(sourcePath)
            + (restored ? QString()
                        : QCoreApplication::translate("OutputPlacement", " The newer version is in the Trash.")));
    }

    if (const auto renameFailure = FileOperations::renameWithoutReplacing(*replacement, sourcePath)) {
        QFile::remove(*replacement);
        // Without a reported location only the user can restore it from the Trash.
        const bool restored = !trashed.pathInTrash.isEmpty()
                              && !FileOperations::restoreFromTrash(trashed.pathInTrash, sourcePath);
        return OptimizationError::platform(
            QCoreApplication::translate(
                "OutputPlacement", "The file “%1” couldn’t be replaced: the new version couldn’t take its place (%2)%3")
                .arg(QFileInfo(sourcePath).fileName(), *renameFailure,
                     restored ? QCoreApplication::translate("OutputPlacement", ".")
                              : QCoreApplication::translate("OutputPlacement", "; the original is in the Trash.")));
    }

    if (revertURL && !trashed.pathInTrash.isEmpty())
        *revertURL = QUrl::fromLocalFile(trashed.pathInTrash);
    return std::nullopt;
}

QUrl OutputPlacement::uniqueDestination(const QUrl& wanted)
{
    const QString path = wanted.toLocalFile();
    if (!FileOperations::existsAtPath(path))
        return wanted;
    const QFileInfo info(path);
    const QString name = info.fileName();
    // A leading dot starts a name, not an extension.
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    const bool hasExtension = dot > 0 && dot < name.size() - 1;
    QString stem = hasExtension ? name.left(dot) : name;
    const QString extension = hasExtension ? name.mid(dot) : QString();
    const QDir folder = info.dir();
    for (qint64 n = 1;; ++n) {
        const QString suffix = QStringLiteral(" (%1)%2").arg(QString::number(n), extension);
        // A long name gives way to its number: the whole must fit a file name.
        while (!stem.isEmpty() && QFile::encodeName(stem + suffix).size() > NAME_MAX)
            stem.chop(stem.size() > 1 && stem.back().isLowSurrogate() ? 2 : 1);
        const QString candidate = folder.filePath(stem + suffix);
        if (!FileOperations::existsAtPath(candidate))
            return QUrl::fromLocalFile(candidate);
    }
}

QString OutputPlacement::exportFolder() const
{
    if (!configuration_.exportPath().isEmpty())
        return configuration_.exportPath();
    return UserPreferences::shared().exportPath();
}

void OutputPlacement::removeStaleFilesOnce(const QString& folder)
{
    static QMutex mutex;
    static QSet<QString> visited;
    {
        QMutexLocker lock(&mutex);
        if (visited.contains(folder))
            return;
        visited.insert(folder);
    }
    static std::once_flag journalChecked;
    std::call_once(journalChecked, [] { ReplacementJournal().recoverInterrupted(); });
    FileOperations::removeStaleReplacements(folder);
}

std::optional<OptimizationError> OutputPlacement::copyIntoFolder(const QString& folder, const QString& from,
                                                                 const QString& fileName, const QString& original,
                                                                 QString* placedAt)
{
    if (const auto failure = FileOperations::makeDirectoryWithParents(folder))
        return OptimizationError::platform(*failure);
    removeStaleFilesOnce(QFileInfo(folder).absoluteFilePath());
    // `from` may be a tool's file; the copy is the user's, with its original's access.
    const mode_t mode = FileOperations::copyMode(original);
    const QUrl wanted = QUrl::fromLocalFile(QDir(folder).filePath(fileName));
    // Jobs export at the same time: a name taken between the look and the
    // rename moves this copy on to the next free one.
    for (int attempt = 0;; ++attempt) {
        const QString destination = uniqueDestination(wanted).toLocalFile();
        const auto failure = FileOperations::copyToNewFile(from, destination, mode, fileName);
        if (!failure) {
            if (placedAt)
                *placedAt = destination;
            return std::nullopt;
        }
        if (attempt == 100 || !FileOperations::existsAtPath(destination))
            return OptimizationError::platform(*failure);
    }
}
