#include "jobs/OutputPlacement.h"

#include "jobs/Configuration.h"
#include "jobs/FileOperations.h"
#include "jobs/UserPreferences.h"
#include "workers/IOFile.h"

#include <QDir>
#include <QFileInfo>

OutputPlacement::OutputPlacement(const Configuration& configuration, MoveToTrash moveToTrash)
    : configuration_(configuration), moveToTrash_(std::move(moveToTrash))
{
}

std::optional<OptimizationError> OutputPlacement::placeOutput(OptimizationJob& job, const IOFile& record)
{
    if (configuration_.operationMode() == Configuration::OperationMode::optimizeOriginals)
        return replaceOriginal(job.fileURL(), record.path, &job);
    const QString folder = exportFolder();
    if (folder.isEmpty())
        return OptimizationError::fileAccess(
            QStringLiteral("No export folder selected. Please choose an export folder in settings."));
    return copyIntoFolder(folder, record.localPath(), job.fileName());
}

std::optional<OptimizationError> OutputPlacement::replaceOriginal(const QUrl& source, const QUrl& optimized,
                                                                  OptimizationJob* job)
{
    const QString sourcePath = source.toLocalFile();
    QString error;
    const auto replacement = FileOperations::writeReplacementBeside(sourcePath, optimized.toLocalFile(), &error);
    if (!replacement)
        return OptimizationError::platform(error);

    const Trash::Outcome trashed = moveToTrash_(sourcePath);
    if (!trashed.ok) {
        QFile::remove(*replacement);
        return OptimizationError::platform(trashed.error);
    }

    if (const auto renameFailure = FileOperations::renameWithoutReplacing(*replacement, sourcePath)) {
        QFile::remove(*replacement);
        // Without a reported location only the user can restore it from the Trash.
        const bool restored = !trashed.pathInTrash.isEmpty()
                              && !FileOperations::restoreFromTrash(trashed.pathInTrash, sourcePath);
        return OptimizationError::platform(
            QStringLiteral("The file “%1” couldn’t be replaced: the new version couldn’t take its place (%2)%3")
                .arg(QFileInfo(sourcePath).fileName(), *renameFailure,
                     restored ? QStringLiteral(".") : QStringLiteral("; the original is in the Trash.")));
    }

    if (job && !trashed.pathInTrash.isEmpty())
        job->revertURL = QUrl::fromLocalFile(trashed.pathInTrash);
    return std::nullopt;
}

std::optional<OptimizationError> OutputPlacement::exportOriginalCopy(const OptimizationJob& job)
{
    const QString folder = exportFolder();
    if (folder.isEmpty())
        return OptimizationError::fileAccess(QStringLiteral("No export folder selected."));
    return copyIntoFolder(folder, job.fileURL().toLocalFile(), job.fileName());
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
    const QString stem = hasExtension ? name.left(dot) : name;
    const QString extension = hasExtension ? name.mid(dot) : QString();
    const QDir folder = info.dir();
    for (qint64 n = 1;; ++n) {
        const QString candidate = folder.filePath(QStringLiteral("%1 (%2)%3").arg(stem).arg(n).arg(extension));
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

std::optional<OptimizationError> OutputPlacement::copyIntoFolder(const QString& folder, const QString& from,
                                                                 const QString& fileName)
{
    if (const auto failure = FileOperations::makeDirectoryWithParents(folder))
        return OptimizationError::platform(*failure);
    const QUrl destination = uniqueDestination(QUrl::fromLocalFile(QDir(folder).filePath(fileName)));
    if (const auto failure = FileOperations::copyToNewFile(from, destination.toLocalFile()))
        return OptimizationError::platform(*failure);
    return std::nullopt;
}
