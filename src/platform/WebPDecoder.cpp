// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/WebPDecoder.h"

#include <QFile>

#include <webp/decode.h>

#include <cstring>

using vips::VError;
using vips::VImage;

namespace {

// The file mapped into memory, unmapped with it.
class MappedFile {
public:
    explicit MappedFile(const char* path) : file_(QString::fromLocal8Bit(path))
    {
        if (file_.open(QIODevice::ReadOnly) && file_.size() > 0)
            data_ = file_.map(0, file_.size());
    }
    const uint8_t* data() const { return data_; }
    size_t size() const { return data_ ? size_t(file_.size()) : 0; }

private:
    QFile file_;
    uchar* data_ = nullptr;
};

bool isWebPLoader(const VImage& header)
{
    if (header.get_typeof("vips-loader") == 0)
        return false;
    return std::strncmp(header.get_string("vips-loader"), "webpload", 8) == 0;
}

} // namespace

bool WebPDecoder::decodes(const char* path, const VImage& header)
{
    if (!isWebPLoader(header) || header.format() != VIPS_FORMAT_UCHAR || (header.bands() != 3 && header.bands() != 4))
        return false;
    if (header.get_typeof("n-pages") != 0 || header.get_typeof(VIPS_META_PAGE_HEIGHT) != 0)
        return false; // an animation, even of one frame, is composed on a canvas
    const MappedFile file(path);
    WebPBitstreamFeatures features;
    return file.data() && WebPGetFeatures(file.data(), file.size(), &features) == VP8_STATUS_OK
           && !features.has_animation && features.width == header.width() && features.height == header.height();
}

VImage WebPDecoder::decode(const char* path, const VImage& fields)
{
    const MappedFile file(path);
    if (!file.data())
        throw VError("webp: unable to open the file");
    VipsImage* memory = vips_image_new_memory();
    VipsImage* from[] = {fields.get_image(), nullptr};
    if (vips_image_pipeline_array(memory, VIPS_DEMAND_STYLE_THINSTRIP, from) != 0
        || vips_image_write_prepare(memory) != 0) {
        g_object_unref(memory);
        throw VError();
    }
    const VImage image(memory); // owns the buffer from here

    WebPDecoderConfig config;
    if (!WebPInitDecoderConfig(&config))
        throw VError("webp: decoder version mismatch");
    // Straight colour, alpha unpremultiplied: what libvips hands out.
    config.output.colorspace = image.bands() == 4 ? MODE_RGBA : MODE_RGB;
    config.output.is_external_memory = 1;
    config.output.u.RGBA.rgba = VIPS_IMAGE_ADDR(memory, 0, 0);
    config.output.u.RGBA.stride = int(VIPS_IMAGE_SIZEOF_LINE(memory));
    config.output.u.RGBA.size = size_t(VIPS_IMAGE_SIZEOF_IMAGE(memory));
    config.options.use_threads = 1;
    const VP8StatusCode status = WebPDecode(file.data(), file.size(), &config);
    WebPFreeDecBuffer(&config.output);
    if (status != VP8_STATUS_OK)
        throw VError("webp: unable to read pixels");
    return image;
}
