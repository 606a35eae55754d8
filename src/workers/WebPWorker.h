// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "workers/ImageIOWorker.h"

// Re-encodes a WebP image as WebP with a lossy quality, or losslessly at 100.
class WebPWorker : public ImageIOWorker {
public:
    explicit WebPWorker(double quality);

protected:
    // A lossy source is never re-encoded losslessly: its decoded pixels,
    // noise included, would only take more bytes.
    std::optional<ImageIO::Options> losslessOptions(const IOFile& input) const override;
};
