// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "jobs/OptimizationJob.h"
#include "platform/Trash.h"

#include <QCoroTask>
#include <QString>

#include <functional>
#include <optional>

// Puts a replaced file's original back from the Trash. The optimized file
// goes to the Trash in its place, so a restore can itself be undone there.
// Nothing changes when the original is gone from the Trash or the path holds
// a file newer than the optimized one.
class OriginalRestorer {
public:
    using MoveToTrash = std::function<Trash::Outcome(const QString& path)>;
    struct Outcome {
        bool ok = false;
        QString message;
        QString optimizedInTrash; // may be empty even on success
    };

    explicit OriginalRestorer(MoveToTrash moveToTrash = Trash::moveToTrash);

    // Blocks: run it off the event loop. `optimizedSize` is what the job
    // wrote at `path`.
    Outcome restore(const QString& path, const QString& originalInTrash, qint64 optimizedSize) const;

    // On the event loop: checks the job, restores on a pool thread and marks
    // the job as restored when it worked.
    QCoro::Task<Outcome> restore(OptimizationJob::Ptr job) const;

private:
    MoveToTrash moveToTrash_;
};
