// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "workers/ImageIOWorker.h"

// Re-encodes a HEIC image as HEIC with a lossy quality.
class HEICWorker : public ImageIOWorker {
public:
    explicit HEICWorker(double quality);

protected:
    // No HEIC encoding here keeps the pixels exactly (colour conversion to YCbCr).
    std::optional<ImageIO::Options> losslessOptions(const IOFile& input) const override;
};
