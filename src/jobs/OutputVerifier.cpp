#include "jobs/OutputVerifier.h"

#include "jobs/SvgVerifier.h"
#include "platform/ImageInspector.h"
#include "workers/IOFile.h"

#include <QElapsedTimer>
#include <QCoroFuture>
#include <QtConcurrent>

#include <atomic>

namespace {
std::atomic<qint64> nanosecondsSpent{0};

OutputVerifier::Verdict rejected(const QString& reason) { return {false, reason}; }
} // namespace

OutputVerifier::Verdict OutputVerifier::verify(const QString& source, IOFileType kind, const QString& candidate,
                                               bool lossless)
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
        verdict = verifySvg(source, candidate);
    else if (kind == IOFileType::dng)
        verdict = {true, {}}; // no decoder here; the tool's own checks stand
    else
        verdict = verifyRaster(source, candidate, lossless);
    nanosecondsSpent += clock.nsecsElapsed();
    return verdict;
}

QCoro::Task<OutputVerifier::Verdict> OutputVerifier::verifyOffThread(QString source, IOFileType kind,
                                                                     QString candidate, bool lossless)
{
    auto check = [source, kind, candidate, lossless] { return verify(source, kind, candidate, lossless); };
    auto verdict = co_await QtConcurrent::run(check);
    co_return verdict;
}

double OutputVerifier::secondsSpent() { return double(nanosecondsSpent.load()) / 1e9; }

OutputVerifier::Verdict OutputVerifier::verifyRaster(const QString& source, const QString& candidate, bool lossless)
{
    // Each file is decoded in full once: the pixel comparison (lossless) or the
    // strict look at the output (lossy) reads every pixel; the rest is headers.
    QString why;
    const auto before = ImageInspector::describe(source, &why);
    if (!before)
        return rejected(QStringLiteral("the original cannot be decoded to compare with (%1)").arg(why));
    const auto after = lossless ? ImageInspector::describe(candidate, &why) : ImageInspector::inspect(candidate, &why);
    if (!after)
        return rejected(QStringLiteral("the output does not decode (%1)").arg(why));
    if (after->width != before->width || after->height != before->height)
        return rejected(QStringLiteral("the output shows %1×%2 pixels instead of %3×%4")
                            .arg(after->width)
                            .arg(after->height)
                            .arg(before->width)
                            .arg(before->height));
    if (after->frames != before->frames)
        return rejected(QStringLiteral("the output has %1 frames instead of %2").arg(after->frames).arg(before->frames));
    if (lossless) {
        const auto same = ImageInspector::samePixels(source, candidate, &why);
        if (!same)
            return rejected(QStringLiteral("the output does not decode as the original does (%1)").arg(why));
        if (!*same)
            return rejected(QStringLiteral("the pixels differ under a lossless preset"));
        return {true, {}};
    }
    const auto difference = ImageInspector::difference(source, candidate, &why);
    if (!difference)
        return rejected(QStringLiteral("the images cannot be compared (%1)").arg(why));
    if (*difference > maxLossyDifference)
        return rejected(QStringLiteral("the output looks different (mean difference %1 of 255)")
                            .arg(*difference, 0, 'f', 1));
    return {true, {}};
}

OutputVerifier::Verdict OutputVerifier::verifySvg(const QString& source, const QString& candidate)
{
    const auto reason = SvgVerifier::rejection(source, candidate);
    return reason ? rejected(*reason) : Verdict{true, {}};
}
