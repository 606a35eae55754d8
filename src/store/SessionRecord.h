// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDateTime>
#include <QJsonObject>
#include <QUuid>

#include <optional>

// One finished batch, as the statistics keep it.
struct SessionRecord {
    QUuid id = QUuid::createUuid();
    QDateTime date = QDateTime::currentDateTimeUtc();
    qint64 imageCount = 0;
    qint64 optimizedCount = 0;
    qint64 failedCount = 0;
    qint64 skippedCount = 0;
    qint64 totalOriginalBytes = 0;
    qint64 totalSavedBytes = 0;
    double runtimeSeconds = 0.0;

    // "<1s", "42s" or "5m 3s".
    QString runtimeText() const;
    // "3/7/25 4:05 PM", in the user's locale and time zone.
    QString dateText() const;
    // Saved bytes as a percentage of the original bytes; 0 without any.
    double savingsPercent() const;

    // `date` is stored as Unix time in seconds, "unixTime".
    QJsonObject toJson() const;
    // None unless every key is present with a value of the right type. Reads
    // the "date" of earlier versions too (seconds since 1 January 2001 UTC).
    static std::optional<SessionRecord> fromJson(const QJsonObject& object);

    bool operator==(const SessionRecord&) const = default;
};
