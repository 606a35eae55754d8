#pragma once

#include "workers/ImageIOWorker.h"

// Re-encodes a WebP image as WebP with a lossy quality, or losslessly at 100.
class WebPWorker : public ImageIOWorker {
public:
    explicit WebPWorker(double quality);

protected:
    std::optional<ImageIO::Options> losslessOptions() const override;
};
