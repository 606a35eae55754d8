// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/JobContext.h"
#include "workers/IOFile.h"

#include <QCoroTask>
#include <QString>

// How a job and its working files meet. Event-loop thread only.
namespace JobWorkingFiles {
// The key of the job's entries in the working-files registry.
QString key(const JobContext& job);
// The file the job's next tool must start from: the latest accepted output,
// else the job's own file. Nothing when it cannot be read or typed.
IOFile::Ptr workingInputFile(const JobContext& job);
// Accepts a result smaller than the job's original and than its best so far:
// sets the job's optimized size and best tool, makes it the working file and
// enters it in the job's tool table. Answers whether it was accepted; a rejected file is left where
// it is for the caller to delete.
bool recordResult(JobContext& job, const IOFile& result, const QString& toolName);
// A worker's output, if it was written: recorded when it is an image of the
// input's kind that the job accepts, otherwise deleted (it is ours alone).
QCoro::Task<> keepOrDelete(JobContext::Ptr job, IOFileType inputKind, QUrl output, bool written, QString toolName);
} // namespace JobWorkingFiles
