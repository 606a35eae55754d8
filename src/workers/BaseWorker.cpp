// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "workers/BaseWorker.h"

#include "workers/JobWorkingFiles.h"
#include "workers/TemporaryFiles.h"

#include <QCoreApplication>
#include <QtGlobal>

Outcome<BaseWorker::Inputs> BaseWorker::takeInputs() const
{
    JobContext::Ptr job = this->job();
    if (!job)
        return OptimizationError::fileAccess(QCoreApplication::translate("BaseWorker", "No job available"));
    IOFile::Ptr input = JobWorkingFiles::workingInputFile(*job);
    if (!input)
        return OptimizationError::fileAccess(QCoreApplication::translate("BaseWorker", "No input file available"));
    return Outcome<Inputs>::success(Inputs{std::move(job), std::move(input)});
}

QCoro::Task<Failure> BaseWorker::run()
{
    const Outcome<Inputs> inputs = takeInputs();
    if (inputs.failed())
        co_return inputs.error();
    const auto& [job, input] = inputs.value();

    const QUrl output = makeOutputURL();
    const Outcome<bool> written = co_await writeOutput(input, output);
    if (written.failed()) {
        TemporaryFiles::removeLater(output.toLocalFile());
        co_return written.error();
    }
    co_await JobWorkingFiles::keepOrDelete(job, input->fileType, output, written.value(), resultName());
    co_return std::nullopt;
}

QUrl BaseWorker::makeOutputURL() const
{
    return TemporaryFiles::makeURL(name(), QStringLiteral("temp"));
}

QCoro::Task<Outcome<bool>> BaseWorker::writeOutput(IOFile::Ptr, QUrl)
{
    qFatal("Must be implemented by subclass");
    co_return Outcome<bool>::success(false);
}
