#include "jobs/OutputPlacement.h"

#include "jobs/Configuration.h"
#include "jobs/FileOperations.h"
#include "jobs/UserPreferences.h"
#include "workers/IOFile.h"

#include <QDir>
#include <QFileInfo>
#include <QMutex>
#include <QSet>

#include <cerrno>
#include <cstring>

namespace {

QString changedMessage(const QString& path)
{
    return QStringLiteral("The file “%1” couldn’t be replaced: it changed while it was being optimized.")
        .arg(QFileInfo(path).fileName());
}

} // namespace

OutputPlacement::OutputPlacement(const Configuration& configuration, MoveToTrash moveToTrash)
    : configuration_(configuration), moveToTrash_(std::move(moveToTrash))
{
}

std::optional<OptimizationError> OutputPlacement::placeOutput(OptimizationJob& job, const IOFile& record,
                                                              const std::optional<FileOperations::Identity>& sourceAsRead)
{
    if (configuration_.operationMode() == Configuration::OperationMode::optimizeOriginals)
        return replaceOriginal(job.fileURL(), record.path, &job, sourceAsRead);
    const QString folder = exportFolder();
    if (folder.isEmpty())
        return OptimizationError::fileAccess(
            QStringLiteral("No export folder selected. Please choose an export folder in settings."));
    return copyIntoFolder(folder, record.localPath(), job.fileName());
}

std::optional<OptimizationError> OutputPlacement::replaceOriginal(const QUrl& source, const QUrl& optimized,
                                                                  OptimizationJob* job,
                                                                  const std::optional<FileOperations::Identity>& sourceAsRead)
{
    const QString sourcePath = source.toLocalFile();
    removeStaleFilesOnce(QFileInfo(sourcePath).absolutePath());
    if (sourceAsRead && FileOperations::identityOf(sourcePath) != sourceAsRead)
        return OptimizationError::platform(changedMessage(sourcePath));
    QString error;
    const auto replacement = FileOperations::writeReplacementBeside(sourcePath, optimized.toLocalFile(), &error);
    if (!replacement)
        return OptimizationError::platform(error);

    Trash::Outcome trashed;
    if (FileOperations::injectedFault("trash", sourcePath))
        trashed.error = QStringLiteral("The file “%1” couldn’t be moved to the Trash: %2")
                            .arg(QFileInfo(sourcePath).fileName(), QString::fromLocal8Bit(std::strerror(errno)));
    else
        trashed = moveToTrash_(sourcePath);
    if (!trashed.ok) {
        QFile::remove(*replacement);
        return OptimizationError::platform(trashed.error);
    }
    // What went to the Trash must be the version the job read: a file saved
    // over it in the meantime goes back, untouched.
    if (sourceAsRead && !trashed.pathInTrash.isEmpty()
        && FileOperations::identityOf(trashed.pathInTrash) != sourceAsRead) {
        QFile::remove(*replacement);
        const bool restored = !FileOperations::restoreFromTrash(trashed.pathInTrash, sourcePath);
        return OptimizationError::platform(
            changedMessage(sourcePath)
            + (restored ? QString() : QStringLiteral(" The newer version is in the Trash.")));
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
        job->setRevertURL(QUrl::fromLocalFile(trashed.pathInTrash));
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
    FileOperations::removeStaleReplacements(folder);
}

std::optional<OptimizationError> OutputPlacement::copyIntoFolder(const QString& folder, const QString& from,
                                                                 const QString& fileName)
{
    if (const auto failure = FileOperations::makeDirectoryWithParents(folder))
        return OptimizationError::platform(*failure);
    removeStaleFilesOnce(QFileInfo(folder).absoluteFilePath());
    const QUrl destination = uniqueDestination(QUrl::fromLocalFile(QDir(folder).filePath(fileName)));
    if (const auto failure = FileOperations::copyToNewFile(from, destination.toLocalFile()))
        return OptimizationError::platform(*failure);
    return std::nullopt;
}
