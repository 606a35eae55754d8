#include "workers/SvgcleanerWorker.h"

#include "platform/Log.h"
#include "workers/ToolLocator.h"

SvgcleanerWorker::SvgcleanerWorker() : BaseCommandWorker(QStringLiteral("svgcleaner")) {}

QStringList SvgcleanerWorker::arguments(const IOFile& input, const QUrl& output) const
{
    return {input.localPath(), output.toLocalFile(), QStringLiteral("--multipass")};
}

QCoro::Task<Outcome<bool>> SvgcleanerWorker::optimizeFile(IOFile::Ptr input, QUrl output)
{
    const auto tool = ToolLocator::findTool(QStringLiteral("svgcleaner"));
    if (!tool) {
        Log::line(QStringLiteral("svgcleaner not found, skipping SVG optimization"));
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
