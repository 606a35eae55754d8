// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

enum class CompressionPreset { lossless, balanced, maximum };

QString toString(CompressionPreset preset);
// Exactly the three texts, case-sensitive; any other text is `balanced`.
CompressionPreset compressionPresetFromString(const QString& text);
