#include "workers/GifsicleWorker.h"

#include "platform/Log.h"
#include "workers/ToolLocator.h"

GifsicleWorker::GifsicleWorker(int lossyLevel, bool lossless)
    : BaseCommandWorker(QStringLiteral("gifsicle")), lossyLevel(lossyLevel), lossless(lossless)
{
}

QStringList GifsicleWorker::arguments(const IOFile& input, const QUrl& output) const
{
    QStringList args;
    if (!lossless && lossyLevel >= 1)
        args << QStringLiteral("--lossy=%1").arg(lossyLevel);
    args << QStringLiteral("-O3") << QStringLiteral("--output") << output.toLocalFile() << input.localPath();
    return args;
}

QCoro::Task<Outcome<bool>> GifsicleWorker::optimizeFile(IOFile::Ptr input, QUrl output)
{
    const auto tool = ToolLocator::findTool(QStringLiteral("gifsicle"));
    if (!tool) {
        Log::line(QStringLiteral("gifsicle not found, skipping GIF optimization"));
        co_return Outcome<bool>::success(false);
    }
    const QStringList args = arguments(*input, output);
    const Outcome<ProcessResult> result = co_await executeProcess(*tool, args);
    if (result.failed())
        co_return result.error();
    if (const int status = result.value().exitCode; status != 0)
        co_return OptimizationError::toolExecution(name(), QStringLiteral("Exit code: %1").arg(status));
    co_return Outcome<bool>::success(true);
}
