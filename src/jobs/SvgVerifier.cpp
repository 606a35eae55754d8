#include "jobs/SvgVerifier.h"

#include "platform/ImageInspector.h"
#include "workers/TemporaryFiles.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryFile>
#include <QXmlStreamReader>

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
    const auto after = readRoot(candidateText, true, &why);
    if (!after)
        return why;
    // An original that does not parse has no size to keep; its drawing may still compare.
    const auto before = readRoot(sourceText, false, &why);
    if (before && (!sameLength(before->width, after->width) || !sameLength(before->height, after->height)))
        return QStringLiteral("the output's size is %1 × %2 instead of %3 × %4")
            .arg(after->width, after->height, before->width, before->height);
    if (before && before->hasViewBox && after->hasViewBox)
        return drawingRejection(source, candidate, withoutRootSize(sourceText), withoutRootSize(candidateText));
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

QByteArray SvgVerifier::withoutRootSize(const QByteArray& text)
{
    static const QRegularExpression root(QStringLiteral("<svg\\b[^>]*>"));
    static const QRegularExpression size(QStringLiteral("\\s(?:width|height)\\s*=\\s*(?:\"[^\"]*\"|'[^']*')"));
    QString document = QString::fromUtf8(text);
    const QRegularExpressionMatch match = root.match(document);
    if (!match.hasMatch())
        return text;
    QString tag = match.captured();
    tag.remove(size);
    document.replace(match.capturedStart(), match.capturedLength(), tag);
    return document.toUtf8();
}

std::optional<SvgVerifier::Root> SvgVerifier::readRoot(const QByteArray& text, bool wholeDocument, QString* why)
{
    QXmlStreamReader xml(text);
    std::optional<Root> root;
    while (!xml.atEnd() && (wholeDocument || !root)) {
        xml.readNext();
        if (!xml.isStartElement() || root)
            continue;
        if (xml.name() != QLatin1String("svg")) {
            *why = QStringLiteral("the output's root element is <%1>, not <svg>").arg(xml.name());
            return std::nullopt;
        }
        const QXmlStreamAttributes attributes = xml.attributes();
        root = Root{attributes.value(QLatin1String("width")).trimmed().toString(),
                    attributes.value(QLatin1String("height")).trimmed().toString(),
                    attributes.hasAttribute(QLatin1String("viewBox"))};
    }
    if (xml.hasError() && wholeDocument) {
        *why = QStringLiteral("the output is not well-formed XML (%1)").arg(xml.errorString());
        return std::nullopt;
    }
    if (!root)
        *why = QStringLiteral("the output has no <svg> element");
    return root;
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
