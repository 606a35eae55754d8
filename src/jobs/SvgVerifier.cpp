// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "jobs/SvgVerifier.h"

#include "jobs/SvgContent.h"
#include "platform/ImageInspector.h"

#include <QFile>
#include <QRegularExpression>

#include <algorithm>
#include <cmath>

namespace {

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The root's width, or its height when it gives no width: what sizes the drawing.
QString sizingLength(const SvgContent& content)
{
    return content.width.isEmpty() ? content.height : content.width;
}

} // namespace

std::optional<QString> SvgVerifier::rejection(const QString& source, const QString& candidate, bool samePixels)
{
    QString why;
    const auto after = SvgContent::read(readAll(candidate), &why);
    if (!after)
        return QStringLiteral("the output ") + why;
    const auto before = SvgContent::read(readAll(source), &why);
    if (!before)
        return QStringLiteral("the original %1, so its ids and text cannot be checked").arg(why);
    if (const auto lost = contentRejection(*before, *after))
        return lost;
    return drawingRejection(source, candidate, *before, *after, samePixels);
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

double SvgVerifier::browserScale(QStringView length)
{
    static const QRegularExpression physical(QStringLiteral("\\d\\s*(?:pt|pc|in|cm|mm)\\s*$"));
    return cssPixels(length) && physical.match(length).hasMatch() ? 96.0 / 72.0 : 1.0;
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
                                                     const SvgContent& before, const SvgContent& after, bool samePixels)
{
    QString why;
    const auto drawings = ImageInspector::compareDrawings(source, browserScale(sizingLength(before)), candidate,
                                                          browserScale(sizingLength(after)), &why);
    if (!drawings) {
        // An original the renderer cannot draw leaves nothing to compare with.
        if (QString ignored; !ImageInspector::describe(source, &ignored))
            return std::nullopt;
        return QStringLiteral("the output cannot be drawn (%1)").arg(why);
    }
    const ImageInspector::Deviation& deviation = drawings->deviation;
    if (samePixels ? drawings->samePixels : deviation.mean <= maxRoundingMean && deviation.worstTile <= maxRoundingTile)
        return std::nullopt;
    return QStringLiteral("the output looks different (mean difference %1, worst tile %2 of 255%3)")
        .arg(deviation.mean, 0, 'f', 2)
        .arg(deviation.worstTile, 0, 'f', 2)
        .arg(samePixels ? QStringLiteral(", and every pixel must be equal") : QString());
}
