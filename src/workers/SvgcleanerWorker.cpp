#include "workers/SvgcleanerWorker.h"

SvgcleanerWorker::SvgcleanerWorker() : BaseCommandWorker(QStringLiteral("svgcleaner")) {}

QStringList SvgcleanerWorker::arguments(const IOFile& input, const QUrl& output) const
{
    return {input.localPath(), output.toLocalFile(), QStringLiteral("--multipass")};
}

QCoro::Task<Outcome<bool>> SvgcleanerWorker::optimizeFile(IOFile::Ptr input, QUrl output)
{
    return runNamedTool(QStringLiteral("SVG"), arguments(*input, output));
}
