#include "jobs/SvgVerifier.h"

#include "jobs/SvgContent.h"
#include "platform/ImageInspector.h"
#include "workers/TemporaryFiles.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryFile>

#include <algorithm>
#include <cmath>
#include <memory>

namespace {

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A copy for the renderer, removed when it goes out of scope.
std::unique_ptr<QTemporaryFile> temporaryCopy(const QByteArray& text)
{
    const QString folder = TemporaryFiles::directory();
    if (folder.isEmpty())
        return nullptr;
    auto file = std::make_unique<QTemporaryFile>(folder + QStringLiteral("/Pressly.svgcheck.XXXXXX.svg"));
    if (!file->open() || file->write(text) != text.size() || !file->flush())
        return nullptr;
    return file;
}

} // namespace

std::optional<QString> SvgVerifier::rejection(const QString& source, const QString& candidate)
{
    const QByteArray sourceText = readAll(source);
    const QByteArray candidateText = readAll(candidate);
    QString why;
    const auto after = SvgContent::read(candidateText, &why);
    if (!after)
        return QStringLiteral("the output ") + why;
    const auto before = SvgContent::read(sourceText, &why);
    if (!before)
        return QStringLiteral("the original %1, so its ids and text cannot be checked").arg(why);
    if (const auto lost = contentRejection(*before, *after))
        return lost;
    const auto sourceAtViewBox = withoutRootSize(sourceText);
    const auto candidateAtViewBox = withoutRootSize(candidateText);
    if (before->hasViewBox && after->hasViewBox && sourceAtViewBox && candidateAtViewBox)
        return drawingRejection(source, candidate, *sourceAtViewBox, *candidateAtViewBox);
    return drawingRejection(source, candidate, {}, {});
}

std::optional<double> SvgVerifier::cssPixels(QStringView length)
{
    static const QRegularExpression pattern(
        QStringLiteral("^\\s*([+-]?(?:\\d+\\.?\\d*|\\.\\d+)(?:[eE][+-]?\\d+)?)\\s*(px|pt|pc|in|cm|mm)?\\s*$"));
    const QRegularExpressionMatch match = pattern.match(length);
    if (!match.hasMatch())
        return std::nullopt;
    const double value = match.capturedView(1).toDouble();
    const QStringView unit = match.capturedView(2);
    if (unit == u"pt")
        return value * 96.0 / 72.0;
    if (unit == u"pc")
        return value * 16.0;
    if (unit == u"in")
        return value * 96.0;
    if (unit == u"cm")
        return value * 96.0 / 2.54;
    if (unit == u"mm")
        return value * 96.0 / 25.4;
    return value;
}

std::optional<QByteArray> SvgVerifier::withoutRootSize(const QByteArray& text)
{
    static const QRegularExpression root(QStringLiteral("<svg\\b[^>]*>"));
    static const QRegularExpression size(QStringLiteral("\\s(?:width|height)\\s*=\\s*(?:\"[^\"]*\"|'[^']*')"));
    // Byte for byte, whatever the encoding: the renderer reads the declaration itself.
    QString document = QString::fromLatin1(text);
    const QRegularExpressionMatch match = root.match(document);
    if (!match.hasMatch())
        return std::nullopt;
    QString tag = match.captured();
    tag.remove(size);
    document.replace(match.capturedStart(), match.capturedLength(), tag);
    return document.toLatin1();
}

std::optional<QString> SvgVerifier::contentRejection(const SvgContent& before, const SvgContent& after)
{
    if (!sameLength(before.width, after.width) || !sameLength(before.height, after.height))
        return QStringLiteral("the output's size is %1 × %2 instead of %3 × %4")
            .arg(after.width, after.height, before.width, before.height);
    if (const QSet<QString> lost = before.ids - after.ids; !lost.isEmpty())
        return QStringLiteral("the output lacks %1 of the original's ids, such as \"%2\"")
            .arg(lost.size())
            .arg(*std::min_element(lost.cbegin(), lost.cend()));
    if (before.texts != after.texts) {
        const auto [was, is] = std::mismatch(before.texts.cbegin(), before.texts.cend(), after.texts.cbegin(),
                                             after.texts.cend());
        const QString example = was != before.texts.cend() ? *was : *is;
        return QStringLiteral("the output changes the original's text, such as \"%1\"").arg(example.left(60));
    }
    return std::nullopt;
}

bool SvgVerifier::sameLength(const QString& a, const QString& b)
{
    const auto first = cssPixels(a);
    const auto second = cssPixels(b);
    if (first && second)
        return std::abs(*first - *second) <= 0.5;
    return a == b;
}

std::optional<QString> SvgVerifier::drawingRejection(const QString& source, const QString& candidate,
                                                    const QByteArray& sourceAtViewBox,
                                                    const QByteArray& candidateAtViewBox)
{
    std::unique_ptr<QTemporaryFile> before;
    std::unique_ptr<QTemporaryFile> after;
    if (!sourceAtViewBox.isEmpty()) {
        before = temporaryCopy(sourceAtViewBox);
        after = temporaryCopy(candidateAtViewBox);
        if (!before || !after)
            return QStringLiteral("no room in the temporary folder to compare the drawings");
    }
    QString why;
    const auto difference = ImageInspector::difference(before ? before->fileName() : source,
                                                       after ? after->fileName() : candidate, &why);
    if (difference)
        return *difference > maxDifference
                   ? std::optional(QStringLiteral("the output looks different (mean difference %1 of 255)")
                                       .arg(*difference, 0, 'f', 1))
                   : std::nullopt;
    // An original the renderer cannot draw leaves nothing to compare with.
    if (QString ignored; !ImageInspector::describe(source, &ignored))
        return std::nullopt;
    return QStringLiteral("the output cannot be drawn (%1)").arg(why);
}
