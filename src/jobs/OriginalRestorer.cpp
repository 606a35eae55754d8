// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "jobs/OriginalRestorer.h"

#include "jobs/FileOperations.h"
#include "platform/BackgroundTask.h"

#include <QCoreApplication>
#include <QCoroFuture>
#include <QFileInfo>

namespace {
OriginalRestorer::Outcome refused(const QString& text, const QString& name)
{
    return {false, text.arg(name), {}};
}
} // namespace

OriginalRestorer::OriginalRestorer(MoveToTrash moveToTrash) : moveToTrash_(std::move(moveToTrash))
{
}

OriginalRestorer::Outcome OriginalRestorer::restore(const QString& path, const QString& originalInTrash,
                                                    qint64 optimizedSize) const
{
    const QString name = QFileInfo(path).fileName();
    const auto original = FileOperations::identityOf(originalInTrash);
    if (originalInTrash.isEmpty() || !original)
        return refused(
            QCoreApplication::translate("OriginalRestorer", "The original of “%1” is no longer in the Trash."), name);
    // The optimized file was written before the original went to the Trash
    // (which set the original's change time); a later save is the user's.
    const auto current = FileOperations::identityOf(path);
    const bool newer = current && (current->size != optimizedSize || current->modifiedNs > original->changedNs);
    if (newer || (!current && FileOperations::existsAtPath(path)))
        return refused(
            QCoreApplication::translate("OriginalRestorer",
                                        "“%1” was changed after it was optimized; restoring would replace the newer "
                                        "version."),
            name);

    Outcome outcome;
    if (current) {
        const Trash::Outcome trashed = moveToTrash_(path);
        if (!trashed.ok)
            return {false, trashed.error, {}};
        outcome.optimizedInTrash = trashed.pathInTrash;
        const auto moved = FileOperations::identityOf(trashed.pathInTrash);
        if (!trashed.pathInTrash.isEmpty() && !(moved && moved->sameAfterMove(*current))) {
            FileOperations::restoreFromTrash(trashed.pathInTrash, path);
            return refused(QCoreApplication::translate(
                               "OriginalRestorer", "“%1” changed while it was being restored; nothing was restored."),
                           name);
        }
    }
    if (const auto failure = FileOperations::restoreFromTrash(originalInTrash, path)) {
        const bool back = !outcome.optimizedInTrash.isEmpty()
                          && !FileOperations::restoreFromTrash(outcome.optimizedInTrash, path);
        return {false,
                QCoreApplication::translate("OriginalRestorer", "The original of “%1” couldn’t be put back (%2)%3")
                    .arg(name, *failure,
                         back || !current
                             ? QCoreApplication::translate("OriginalRestorer", ".")
                             : QCoreApplication::translate("OriginalRestorer", "; both versions are in the Trash.")),
                {}};
    }
    outcome.ok = true;
    outcome.message = QCoreApplication::translate("OriginalRestorer",
                                                  "“%1” is the original again; the optimized version is in the Trash.")
                          .arg(name);
    return outcome;
}

QCoro::Task<OriginalRestorer::Outcome> OriginalRestorer::restore(OptimizationJob::Ptr job) const
{
    const QString name = job->fileName();
    if (job->isRestored())
        co_return refused(QCoreApplication::translate("OriginalRestorer", "“%1” has already been restored."), name);
    if (job->status() != JobStatus::completed || !job->revertURL() || !job->optimizedSize())
        co_return refused(
            QCoreApplication::translate("OriginalRestorer", "“%1” has no original in the Trash to restore."), name);
    const QString path = job->fileURL().toLocalFile();
    const QString inTrash = job->revertURL()->toLocalFile();
    const qint64 size = *job->optimizedSize();
    const auto work = [this, path, inTrash, size] { return restore(path, inTrash, size); };
    Outcome outcome = co_await BackgroundTask::run(work);
    if (outcome.ok)
        job->setRestored(true);
    co_return outcome;
}
