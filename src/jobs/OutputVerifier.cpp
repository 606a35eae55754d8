// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "jobs/OutputVerifier.h"

#include "jobs/SvgVerifier.h"
#include "platform/BackgroundTask.h"
#include "platform/ImageIO.h"
#include "platform/ImageInspector.h"
#include "platform/JpegIntegrity.h"
#include "platform/PixelBudget.h"
#include "platform/RawImageComparison.h"
#include "workers/IOFile.h"
#include "workers/JpegTrailer.h"

#include <QCoroFuture>
#include <QElapsedTimer>

#include <algorithm>
#include <atomic>

namespace {
std::atomic<qint64> nanosecondsSpent{0};

OutputVerifier::Verdict rejected(const QString& reason)
{
    return {false, reason};
}

bool sameOrientation(const QString& a, const QString& b)
{
    const auto first = ImageIO::header(a), second = ImageIO::header(b);
    return first && second && first->orientation == second->orientation;
}
} // namespace

OutputVerifier::Verdict OutputVerifier::verify(const QString& source, IOFileType kind, const QString& candidate,
                                               bool samePixels)
{
    QElapsedTimer clock;
    clock.start();
    Verdict verdict;
    const IOFile::Ptr output = IOFile::read(QUrl::fromLocalFile(candidate));
    if (!output || output->byteSize == 0)
        verdict = rejected(QStringLiteral("the output cannot be read"));
    else if (output->fileType != kind)
        verdict = rejected(QStringLiteral("the output is a %1 file, not %2")
                               .arg(IOFileTypes::name(output->fileType), IOFileTypes::name(kind)));
    else if (kind == IOFileType::svg)
        verdict = verifySvg(source, candidate, samePixels);
    else if (kind == IOFileType::dng)
        verdict = verifyRaw(source, candidate);
    else
        verdict = verifyRaster(source, kind, candidate, samePixels);
    nanosecondsSpent += clock.nsecsElapsed();
    return verdict;
}

QCoro::Task<OutputVerifier::Verdict> OutputVerifier::verifyOffThread(QString source, IOFileType kind, QString candidate,
                                                                     bool samePixels)
{
    auto check = [source, kind, candidate, samePixels] { return verify(source, kind, candidate, samePixels); };
    auto verdict = co_await BackgroundTask::run(check);
    co_return verdict;
}

double OutputVerifier::secondsSpent()
{
    return double(nanosecondsSpent.load()) / 1e9;
}

QStringList OutputVerifier::pixelChangingTools(const std::vector<OptimizationWorker::Ptr>& workers)
{
    QStringList names;
    for (const auto& worker : workers)
        // A result carries its worker's credit, which need not be the worker's name.
        if (worker && worker->changesPixels())
            names << worker->name() << worker->resultName();
    return names;
}

bool OutputVerifier::needsSamePixels(const QString& toolChain, const QStringList& pixelChangingTools)
{
    const QStringList chain = toolChain.split(QLatin1Char('+'));
    return std::none_of(chain.cbegin(), chain.cend(),
                        [&](const QString& tool) { return pixelChangingTools.contains(tool); });
}

OutputVerifier::Verdict OutputVerifier::verifyRaster(const QString& source, IOFileType kind, const QString& candidate,
                                                     bool samePixels)
{
    // Headers first; the pixel comparison then decodes each file in full once.
    QString why;
    const auto before = ImageInspector::describe(source, &why);
    if (!before)
        return rejected(QStringLiteral("the original cannot be decoded to compare with (%1)").arg(why));
    const auto after = ImageInspector::describe(candidate, &why);
    if (!after)
        return rejected(QStringLiteral("the output does not decode (%1)").arg(why));
    if (after->width != before->width || after->height != before->height)
        return rejected(QStringLiteral("the output shows %1×%2 pixels instead of %3×%4")
                            .arg(after->width)
                            .arg(after->height)
                            .arg(before->width)
                            .arg(before->height));
    if (after->frames != before->frames)
        return rejected(
            QStringLiteral("the output has %1 frames instead of %2").arg(after->frames).arg(before->frames));
    if (kind == IOFileType::jpeg) {
        // Corrupt data decodes into made-up pixels that a new file would keep.
        const JpegIntegrity::Comparison read = JpegIntegrity::compare(source, candidate);
        if (!read.sourceDamage.isEmpty())
            return rejected(QStringLiteral("the original is damaged (%1)").arg(read.sourceDamage));
        if (!read.candidateDamage.isEmpty())
            return rejected(QStringLiteral("the output does not decode (%1)").arg(read.candidateDamage));
        if (JpegTrailer::of(source) != JpegTrailer::of(candidate))
            return rejected(QStringLiteral("the data after the original's image is not kept unchanged"));
        // The same coefficients decode to the same pixels, shown the same way
        // when the orientation is kept: no need to decode them.
        if (read.same && sameOrientation(source, candidate))
            return {true, {}};
    }
    // Both images are decoded whole: one large pair at a time.
    const PixelBudget::Lease lease = PixelBudget::shared().acquire(2 * qint64(before->width) * qint64(before->height)
                                                                   * std::max(before->frames, 1));
    return comparePixels(source, candidate, samePixels);
}

OutputVerifier::Verdict OutputVerifier::comparePixels(const QString& source, const QString& candidate, bool samePixels)
{
    QString why;
    if (samePixels) {
        const auto same = ImageInspector::samePixels(source, candidate, &why);
        if (!same)
            return rejected(QStringLiteral("the output does not decode as the original does (%1)").arg(why));
        if (!*same)
            return rejected(QStringLiteral("the pixels differ, and no tool that may change them made the output"));
        return {true, {}};
    }
    // The comparison of tiles cannot tell a region that failed to decode
    // from an equal one: the output must first decode on its own.
    if (!ImageInspector::decodesCompletely(candidate, &why))
        return rejected(QStringLiteral("the output does not decode completely (%1)").arg(why));
    const auto deviation = ImageInspector::deviation(source, candidate, &why);
    if (!deviation)
        return rejected(QStringLiteral("the images cannot be compared (%1)").arg(why));
    if (deviation->mean > maxLossyMean || deviation->worstTile > maxLossyTile)
        return rejected(QStringLiteral("the output looks different (mean difference %1, worst tile %2 of 255)")
                            .arg(deviation->mean, 0, 'f', 1)
                            .arg(deviation->worstTile, 0, 'f', 1));
    return {true, {}};
}

OutputVerifier::Verdict OutputVerifier::verifySvg(const QString& source, const QString& candidate, bool samePixels)
{
    const auto reason = SvgVerifier::rejection(source, candidate, samePixels);
    return reason ? rejected(*reason) : Verdict{true, {}};
}

OutputVerifier::Verdict OutputVerifier::verifyRaw(const QString& source, const QString& candidate)
{
    const auto reason = RawImageComparison::difference(source, candidate);
    return reason ? rejected(*reason) : Verdict{true, {}};
}
