// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/WebPEncoder.h"

#include "platform/ImageInspector.h"

#include <QFile>

#include <webp/encode.h>
#include <webp/mux.h>

#include <memory>

using vips::VError;
using vips::VImage;

namespace {

struct PictureDeleter {
    void operator()(WebPPicture* picture) const
    {
        WebPPictureFree(picture);
        delete picture;
    }
};
using Picture = std::unique_ptr<WebPPicture, PictureDeleter>;

struct WriterDeleter {
    void operator()(WebPMemoryWriter* writer) const
    {
        WebPMemoryWriterClear(writer);
        delete writer;
    }
};
using Writer = std::unique_ptr<WebPMemoryWriter, WriterDeleter>;

WebPConfig configFor(const WebPEncoder::Settings& settings)
{
    WebPConfig config;
    if (!WebPConfigInit(&config))
        throw VError("webp: encoder version mismatch");
    if (!settings.lossless && !WebPConfigPreset(&config, WEBP_PRESET_DEFAULT, float(settings.quality)))
        throw VError("webp: encoder version mismatch");
    config.lossless = settings.lossless ? 1 : 0;
    config.alpha_quality = 100;
    config.method = settings.effort;
    if (settings.lossless)
        config.quality = float(settings.quality);
    if (!WebPValidateConfig(&config))
        throw VError("webp: invalid encoder settings");
    return config;
}

// Takes the pixels into the picture's own planes (YUV for a lossy encoding).
Picture imported(const VImage& memory, bool lossless)
{
    Picture picture(new WebPPicture);
    if (!WebPPictureInit(picture.get()))
        throw VError("webp: encoder version mismatch");
    picture->use_argb = lossless ? 1 : 0;
    picture->width = memory.width();
    picture->height = memory.height();
    VipsImage* image = memory.get_image();
    const uint8_t* pixels = VIPS_IMAGE_ADDR(image, 0, 0);
    const int stride = int(VIPS_IMAGE_SIZEOF_LINE(image));
    const int ok = memory.bands() == 4 ? WebPPictureImportRGBA(picture.get(), pixels, stride)
                                       : WebPPictureImportRGB(picture.get(), pixels, stride);
    if (!ok)
        throw VError("webp: out of memory for the picture");
    return picture;
}

// The encoded image in its container, with the profile when there is one.
QByteArray assembled(const WebPMemoryWriter& encoded, const QByteArray& profile)
{
    const WebPData image{encoded.mem, encoded.size};
    std::unique_ptr<WebPMux, void (*)(WebPMux*)> mux(WebPMuxCreate(&image, 0), WebPMuxDelete);
    if (!mux)
        throw VError("webp: cannot read back the encoded image");
    if (!profile.isEmpty()) {
        const WebPData chunk{reinterpret_cast<const uint8_t*>(profile.constData()), size_t(profile.size())};
        if (WebPMuxSetChunk(mux.get(), "ICCP", &chunk, 1) != WEBP_MUX_OK)
            throw VError("webp: cannot add the colour profile");
    }
    WebPData file{nullptr, 0};
    if (WebPMuxAssemble(mux.get(), &file) != WEBP_MUX_OK)
        throw VError("webp: cannot assemble the file");
    QByteArray bytes(reinterpret_cast<const char*>(file.bytes), qsizetype(file.size));
    WebPDataClear(&file);
    return bytes;
}

} // namespace

bool WebPEncoder::encodes(const VImage& image)
{
    return image.format() == VIPS_FORMAT_UCHAR && (image.bands() == 3 || image.bands() == 4)
           && image.interpretation() == VIPS_INTERPRETATION_sRGB && image.coding() == VIPS_CODING_NONE;
}

void WebPEncoder::write(VImage& image, const QString& path, const Settings& settings)
{
    const WebPConfig config = configFor(settings);
    const QByteArray profile = ImageInspector::profileOf(image);
    Picture picture;
    {
        const VImage memory = image.copy_memory(); // the same buffer when it is in memory already
        image = VImage();
        picture = imported(memory, settings.lossless);
    }
    Writer encoded(new WebPMemoryWriter);
    WebPMemoryWriterInit(encoded.get());
    picture->writer = WebPMemoryWrite;
    picture->custom_ptr = encoded.get();
    if (!WebPEncode(&config, picture.get()))
        throw VError("webp: unable to encode");
    picture.reset();
    const QByteArray bytes = assembled(*encoded, profile);
    encoded.reset();
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size() || !file.flush())
        throw VError(("cannot write " + path + ": " + file.errorString()).toStdString());
}
