// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <optional>

// Compares two camera-raw files as a raw converter sees them, through libraw:
// dimensions and margins, orientation, colour filter pattern, black and white
// levels and every raw sample. Blocks while it decodes both files.
class RawImageComparison {
public:
    // Nothing when both decode to the same raw image; otherwise why not.
    static std::optional<QString> difference(const QString& source, const QString& candidate);
};
