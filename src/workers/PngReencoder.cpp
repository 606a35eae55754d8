#include "workers/PngReencoder.h"

namespace PngReencoder {

Texts losslessTexts()
{
    return {QStringLiteral("🎨 Core Graphics PNG optimization starting for file size: "), {},
            QStringLiteral("✅ Core Graphics PNG optimization completed: ")};
}

Texts pngquantTexts()
{
    return {QStringLiteral("🎨 Core Graphics PNG optimization (pngquant fallback) starting for file size: "),
            QStringLiteral("⚠️ Note: Core Graphics cannot replicate pngquant's lossy compression, "
                           "using lossless PNG optimization"),
            QStringLiteral("✅ Core Graphics PNG optimization (pngquant fallback) completed: ")};
}

QCoro::Task<Outcome<bool>> reencode(IOFile::Ptr input, QUrl output, Texts texts)
{
    FallbackReencoder::Request request;
    request.options.format = ImageIO::Format::png;
    request.kind = QStringLiteral("PNG");
    request.texts = std::move(texts);
    request.missingOutputFails = true;
    return FallbackReencoder::reencode(std::move(input), std::move(output), std::move(request));
}

} // namespace PngReencoder
