// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/CompressionPreset.h"

#include <array>

namespace {
constexpr std::array<std::pair<CompressionPreset, const char*>, 3> names{{
    {CompressionPreset::lossless, "lossless"},
    {CompressionPreset::balanced, "balanced"},
    {CompressionPreset::maximum, "maximum"},
}};
}

QString toString(CompressionPreset preset)
{
    for (const auto& [value, name] : names)
        if (value == preset)
            return QString::fromLatin1(name);
    return {};
}

CompressionPreset compressionPresetFromString(const QString& text)
{
    for (const auto& [value, name] : names)
        if (text == QLatin1String(name))
            return value;
    return CompressionPreset::balanced;
}
