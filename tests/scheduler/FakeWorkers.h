// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "TestSupport.h"
#include "core/JobContext.h"
#include "workers/BaseCommandWorker.h"
#include "workers/JobWorkingFiles.h"
#include "workers/TemporaryFiles.h"

#include <QCoroTimer>
#include <QStringList>

#include <chrono>
#include <optional>

// Stand-ins for tools, to force outcomes and finishing orders.
namespace FakeWorkers {

// A PNG signature padded to `size` bytes: typed by content, any size we like.
inline QByteArray imageBytes(qint64 size, const QByteArray& signature = "\x89PNG\r\n\x1a\n")
{
    return size > 0 ? (signature + QByteArray(size, 'x')).left(size) : QByteArray();
}
inline void writeImage(const QString& path, qint64 size, const QByteArray& signature = "\x89PNG\r\n\x1a\n")
{
    TestSupport::writeFile(path, imageBytes(size, signature));
}

// What a fake tool does: Plan(700).after(150) writes 700 bytes after 150 ms.
struct Plan {
    Plan() = default; // writes nothing
    Plan(qint64 size) : outputSize(size) { }

    qint64 outputSize = -1;
    int delayMs = 0;
    bool answer = true;
    std::optional<OptimizationError> failure;
    QByteArray signature = "\x89PNG\r\n\x1a\n";

    Plan& after(int milliseconds)
    {
        delayMs = milliseconds;
        return *this;
    }
    Plan& answers(bool value)
    {
        answer = value;
        return *this;
    }
    Plan& fails(const OptimizationError& error)
    {
        failure = error;
        return *this;
    }
    Plan& startingWith(const QByteArray& bytes)
    {
        signature = bytes;
        return *this;
    }
};

// A command-line tool: the scheduler drives its optimizeFile directly; the
// worker base's own run drives it in the lossy chain.
class FakeTool : public BaseCommandWorker {
public:
    FakeTool(const QString& name, bool lossy, Plan plan)
        : BaseCommandWorker(name), lossy_(lossy), plan_(std::move(plan))
    {
    }

    bool isLossy() const override { return lossy_; }

    QCoro::Task<Outcome<bool>> optimizeFile(IOFile::Ptr input, QUrl output) override
    {
        inputs.append(input->localPath());
        outputs.append(output.toLocalFile());
        if (whileRunning)
            whileRunning();
        if (plan_.delayMs > 0)
            co_await QCoro::sleepFor(std::chrono::milliseconds(plan_.delayMs));
        if (plan_.outputSize >= 0)
            writeImage(output.toLocalFile(), plan_.outputSize, plan_.signature);
        if (plan_.failure)
            co_return *plan_.failure;
        co_return Outcome<bool>::success(plan_.answer);
    }

    QStringList inputs;
    QStringList outputs;
    std::function<void()> whileRunning;

private:
    const bool lossy_;
    const Plan plan_;
};

// A re-encoder that is no command-line tool: after `delay` it improves the
// job's working file itself, as the image-I/O workers do, with the bytes
// `output` makes from the job (none: it fails).
class FakeEncoder : public BaseWorker {
public:
    using Output = std::function<QByteArray(JobContext&)>;
    FakeEncoder(const QString& name, Output output, std::chrono::milliseconds delay = std::chrono::milliseconds(5))
        : BaseWorker(name), output_(std::move(output)), delay_(delay)
    {
    }

    QCoro::Task<Failure> run() override
    {
        const auto job = this->job();
        if (started)
            started(*job);
        if (gate)
            co_await gate();
        co_await QCoro::sleepFor(delay_);
        const QByteArray bytes = output_(*job);
        if (bytes.isEmpty())
            co_return OptimizationError::toolExecution(name(), QStringLiteral("Exit code: 1"));
        const QUrl output = TemporaryFiles::makeURL(name(), QStringLiteral("temp"));
        TestSupport::writeFile(output.toLocalFile(), bytes);
        const IOFile::Ptr result = IOFile::read(output);
        if (!result || !JobWorkingFiles::recordResult(*job, *result, name()))
            QFile::remove(output.toLocalFile());
        co_return std::nullopt;
    }

    std::function<void(JobContext&)> started;
    // Awaited before the work: lets a test hold tools until others have started.
    std::function<QCoro::Task<>()> gate;

private:
    const Output output_;
    const std::chrono::milliseconds delay_;
};

} // namespace FakeWorkers
