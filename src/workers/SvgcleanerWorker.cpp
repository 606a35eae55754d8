// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "workers/SvgcleanerWorker.h"

#include "platform/Log.h"
#include "workers/SvgcleanerServer.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

namespace {

// The adapter writes ".<name>.<pid>.partial" beside its output and renames
// it; a run that was stopped or died may leave that behind.
void removePartials(const QString& output)
{
    const QFileInfo info(output);
    const QRegularExpression partial(QLatin1Char('^') + QRegularExpression::escape(QLatin1Char('.') + info.fileName())
                                     + QStringLiteral("\\.[0-9]+\\.partial$"));
    const QDir dir = info.dir();
    for (const QString& name :
         dir.entryList({QLatin1Char('.') + info.fileName() + QStringLiteral(".*.partial")}, QDir::Files | QDir::Hidden))
        if (partial.match(name).hasMatch())
            QFile::remove(dir.filePath(name));
}

// Paths travel to the server as UTF-8 text: others go to the adapter itself.
bool travelsAsText(const QString& path)
{
    return QFile::encodeName(path) == path.toUtf8();
}

} // namespace

SvgcleanerWorker::SvgcleanerWorker(bool precise) : BaseCommandWorker(QStringLiteral("svgcleaner")), precise_(precise)
{
}

QStringList SvgcleanerWorker::arguments(const IOFile& input, const QUrl& output) const
{
    QStringList arguments{input.localPath(), output.toLocalFile(), QStringLiteral("--multipass")};
    if (precise_)
        arguments.append(QStringLiteral("--precise"));
    return arguments;
}

QCoro::Task<Outcome<bool>> SvgcleanerWorker::optimizeFile(IOFile::Ptr input, QUrl output)
{
    const auto tool = findNamedTool(QStringLiteral("SVG"));
    if (!tool)
        co_return Outcome<bool>::success(false);
    const QStringList args = arguments(*input, output);
    const QString outputPath = output.toLocalFile();
    std::optional<int> status;
    if (auto server = SvgcleanerServer::sharedFor(*tool);
        server && travelsAsText(args[0]) && travelsAsText(outputPath)) {
        qCInfo(lcTools).noquote() << QStringLiteral("Executing: ") + *tool + QLatin1Char(' ')
                                         + args.join(QLatin1Char(' '));
        const auto answer = co_await server->clean(args[0], outputPath, true, precise_, timeoutFor(input->byteSize));
        if (answer && !answer->stopReason.isEmpty()) {
            removePartials(outputPath);
            co_return OptimizationError::toolExecution(name(), answer->stopReason);
        }
        if (answer)
            status = answer->status;
        else
            qCInfo(lcTools).noquote() << QStringLiteral(
                "The svgcleaner server is gone: running svgcleaner for this file");
    }
    if (!status) {
        const Outcome<ProcessResult> result = co_await executeProcess(*tool, args);
        if (result.failed()) {
            removePartials(outputPath);
            co_return result.error();
        }
        status = result.value().exitCode;
    }
    if (*status != 0)
        removePartials(outputPath);
    co_return answerForExit(*status);
}
