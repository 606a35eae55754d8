// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// Reads how a WebP file's image is compressed from its RIFF chunk headers,
// without decoding anything.
class WebPContainer {
public:
    enum class Encoding { lossy, lossless, animated, unknown };

    static Encoding encodingOf(const QString& path);
};
