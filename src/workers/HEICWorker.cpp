#include "workers/HEICWorker.h"

HEICWorker::HEICWorker(double quality)
    : ImageIOWorker(QStringLiteral("HEIC (ImageIO)"), quality,
                    Format{ImageIO::Format::heic, QStringLiteral("HEIC"), QStringLiteral("heic")})
{
}
