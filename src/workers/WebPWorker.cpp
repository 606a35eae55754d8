#include "workers/WebPWorker.h"

WebPWorker::WebPWorker(double quality)
    : ImageIOWorker(QStringLiteral("WebP (ImageIO)"), quality,
                    Format{ImageIO::Format::webp, QStringLiteral("WebP"), QStringLiteral("webp")})
{
}

std::optional<ImageIO::Options> WebPWorker::losslessOptions() const
{
    ImageIO::Options options;
    options.format = ImageIO::Format::webp;
    options.quality = 100;
    options.lossless = true;
    return options;
}
