// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/SessionRecord.h"

#include <QCoreApplication>
#include <QJsonValue>
#include <QLocale>

#include <cmath>

namespace {

// Earlier versions counted "date" in seconds from 1 January 2001, UTC.
constexpr double referenceDateOffset = 978307200.0;
// Far beyond any real date, and well inside what QDateTime and qint64 hold.
constexpr double maxAbsoluteSeconds = 1e12;

std::optional<qint64> integer(const QJsonValue& value)
{
    if (!value.isDouble())
        return std::nullopt;
    const double number = value.toDouble();
    const qint64 whole = value.toInteger();
    if (double(whole) != number)
        return std::nullopt;
    return whole;
}

std::optional<double> real(const QJsonValue& value)
{
    if (!value.isDouble() || !std::isfinite(value.toDouble()))
        return std::nullopt;
    return value.toDouble();
}

std::optional<QUuid> uuid(const QJsonValue& value)
{
    if (!value.isString())
        return std::nullopt;
    const QString text = value.toString();
    const QUuid id = QUuid::fromString(text);
    if (id.isNull() && text != QUuid().toString(QUuid::WithoutBraces))
        return std::nullopt;
    return id;
}

} // namespace

QString SessionRecord::runtimeText() const
{
    if (!(runtimeSeconds >= 1.0))
        return QCoreApplication::translate("SessionRecord", "<1s");
    const auto whole = qint64(std::min(std::trunc(runtimeSeconds), 9e18));
    if (whole < 60)
        return QCoreApplication::translate("SessionRecord", "%1s").arg(whole);
    return QCoreApplication::translate("SessionRecord", "%1m %2s").arg(whole / 60).arg(whole % 60);
}

QString SessionRecord::dateText() const
{
    return QLocale().toString(date.toLocalTime(), QLocale::ShortFormat);
}

double SessionRecord::savingsPercent() const
{
    return totalOriginalBytes < 1 ? 0.0 : double(totalSavedBytes) / double(totalOriginalBytes) * 100.0;
}

QJsonObject SessionRecord::toJson() const
{
    QJsonObject object;
    object.insert(QStringLiteral("id"), id.toString(QUuid::WithoutBraces).toUpper());
    object.insert(QStringLiteral("unixTime"), double(date.toMSecsSinceEpoch()) / 1000.0);
    object.insert(QStringLiteral("imageCount"), imageCount);
    object.insert(QStringLiteral("optimizedCount"), optimizedCount);
    object.insert(QStringLiteral("failedCount"), failedCount);
    object.insert(QStringLiteral("skippedCount"), skippedCount);
    object.insert(QStringLiteral("totalOriginalBytes"), totalOriginalBytes);
    object.insert(QStringLiteral("totalSavedBytes"), totalSavedBytes);
    object.insert(QStringLiteral("runtimeSeconds"), runtimeSeconds);
    return object;
}

std::optional<SessionRecord> SessionRecord::fromJson(const QJsonObject& object)
{
    const auto id = uuid(object.value(QStringLiteral("id")));
    auto date = real(object.value(QStringLiteral("unixTime")));
    if (!object.contains(QStringLiteral("unixTime")))
        if (const auto older = real(object.value(QStringLiteral("date"))))
            date = *older + referenceDateOffset;
    const auto images = integer(object.value(QStringLiteral("imageCount")));
    const auto optimized = integer(object.value(QStringLiteral("optimizedCount")));
    const auto failed = integer(object.value(QStringLiteral("failedCount")));
    const auto skipped = integer(object.value(QStringLiteral("skippedCount")));
    const auto original = integer(object.value(QStringLiteral("totalOriginalBytes")));
    const auto saved = integer(object.value(QStringLiteral("totalSavedBytes")));
    const auto runtime = real(object.value(QStringLiteral("runtimeSeconds")));
    if (!id || !date || !images || !optimized || !failed || !skipped || !original || !saved || !runtime)
        return std::nullopt;
    if (std::abs(*date) > maxAbsoluteSeconds)
        return std::nullopt;

    SessionRecord record;
    record.id = *id;
    record.date = QDateTime::fromMSecsSinceEpoch(std::llround(*date * 1000.0), Qt::UTC);
    record.imageCount = *images;
    record.optimizedCount = *optimized;
    record.failedCount = *failed;
    record.skippedCount = *skipped;
    record.totalOriginalBytes = *original;
    record.totalSavedBytes = *saved;
    record.runtimeSeconds = *runtime;
    return record;
}
