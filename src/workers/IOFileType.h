// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArrayView>
#include <QString>

#include <optional>

enum class IOFileType { png = 1, jpeg = 2, gif = 3, svg = 4, webp = 5, heic = 6, dng = 7 };

namespace IOFileTypes {
// Classification by leading bytes; content always wins over the name.
std::optional<IOFileType> fromContent(QByteArrayView bytes);
// Classification by file-name extension (without the dot), case-insensitive.
std::optional<IOFileType> fromExtension(const QString& extension);
std::optional<IOFileType> fromRawValue(int raw);
int rawValue(IOFileType type);
QString name(IOFileType type);
// How many leading bytes `fromContent` looks at, at most.
constexpr qsizetype contentProbeLength = 200;
} // namespace IOFileTypes
