// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "workers/GifsicleWorker.h"

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
    return runNamedTool(QStringLiteral("GIF"), arguments(*input, output));
}
