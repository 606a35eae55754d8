// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Before any Qt header: glib uses "signals" as a name, Qt defines it as a keyword.
#include <vips/vips8>

#include "platform/ImageIO.h"
#include "platform/JpegIntegrity.h"
#include "platform/Log.h"
#include "platform/PixelBudget.h"
#include "platform/PngChunks.h"
#include "platform/WebPDecoder.h"
#include "platform/WebPEncoder.h"

#include <QFile>
#include <QSaveFile>
#include <QScopeGuard>

#include <webp/mux.h>

#include <algorithm>
#include <malloc.h>
#include <mutex>

using vips::VError;
using vips::VImage;

namespace {

// Metadata that a re-encode drops; the colour profile stays.
bool isDroppedField(const char* name)
{
    const QByteArray field(name);
    return field.startsWith("exif-") || field == "xmp-data" || field == "iptc-data" || field.startsWith("png-comment-")
           || field == "gif-comment" || field == "orientation";
}

VImage withoutMetadata(const VImage& image)
{
    VImage copy = image.copy();
    char** fields = vips_image_get_fields(copy.get_image());
    for (char** field = fields; field && *field; ++field)
        if (isDroppedField(*field))
            copy.remove(*field);
    g_strfreev(fields);
    return copy;
}

// The HEIF loader hands out a colour profile that still belongs to the
// decoder, which frees it when the loaded image closes; the saver would then
// read freed memory. The profile is copied into memory of the image's own.
VImage withOwnProfile(VImage image)
{
    if (image.get_typeof(VIPS_META_ICC_NAME) == 0)
        return image;
    size_t length = 0;
    const void* data = image.get_blob(VIPS_META_ICC_NAME, &length);
    VImage copy = image.copy();
    vips_image_set_blob_copy(copy.get_image(), VIPS_META_ICC_NAME, data, length);
    return copy;
}

// libvips writes an EXIF chunk of its own (resolution, colour space) into
// every WebP; the source's EXIF is dropped on purpose, so none may appear.
bool withoutExifChunk(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray bytes = file.readAll();
    file.close();
    const WebPData input{reinterpret_cast<const uint8_t*>(bytes.constData()), size_t(bytes.size())};
    WebPMux* mux = WebPMuxCreate(&input, 0);
    if (!mux)
        return false;
    WebPData output{nullptr, 0};
    const WebPMuxError removed = WebPMuxDeleteChunk(mux, "EXIF");
    const bool assembled = removed == WEBP_MUX_OK && WebPMuxAssemble(mux, &output) == WEBP_MUX_OK;
    WebPMuxDelete(mux);
    if (removed == WEBP_MUX_NOT_FOUND)
        return true;
    QSaveFile rewritten(path);
    const bool written = assembled && rewritten.open(QIODevice::WriteOnly)
                         && rewritten.write(reinterpret_cast<const char*>(output.bytes), qint64(output.size))
                                == qint64(output.size)
                         && rewritten.commit();
    WebPDataClear(&output);
    return written;
}

void write(const VImage& image, const QString& path, const ImageIO::Options& options)
{
    vips::VTarget target = vips::VTarget::new_to_file(path.toLocal8Bit().constData());
    switch (options.format) {
    case ImageIO::Format::png:
        image.pngsave_target(target, VImage::option()->set("compression", 9));
        break;
    case ImageIO::Format::jpeg:
        image.jpegsave_target(target, VImage::option()->set("Q", options.quality)->set("optimize_coding", true));
        break;
    case ImageIO::Format::heic:
        // 16-bit input would otherwise become a 12-bit file.
        image.heifsave_target(target, VImage::option()->set("Q", options.quality)->set("bitdepth", 8));
        break;
    case ImageIO::Format::webp:
        image.webpsave_target(target, VImage::option()->set("Q", options.quality)->set("lossless", options.lossless));
        break;
    }
}

// Lets go of `image` where it can, to hold fewer pixels while encoding.
void save(VImage& image, const QString& path, const ImageIO::Options& options)
{
    if (options.format == ImageIO::Format::webp && WebPEncoder::encodes(image)) {
        WebPEncoder::write(image, path, {options.quality, options.lossless});
        return;
    }
    write(image, path, options); // the file is complete and closed once this returns
    if (options.format == ImageIO::Format::webp && !withoutExifChunk(path))
        throw VError("the WebP written cannot be read back to drop its EXIF chunk");
}

// Only the header is read; pixels are decoded on use and fail on any error.
// The source exists before the options are made: a throw in between would
// leak them.
VImage strictLoad(const QString& path)
{
    const vips::VSource source = vips::VSource::new_from_file(path.toLocal8Bit().constData());
    return VImage::new_from_source(source, "", VImage::option()->set("fail_on", VIPS_FAIL_ON_ERROR));
}

// The pixels to write, shown upright and with the metadata kept, in memory:
// one buffer of the image's size at a time where it can. A still WebP is
// decoded straight into its buffer and the encoder takes that one as it is.
VImage decoded(const QString& path, const VImage& header)
{
    const QByteArray name = path.toLocal8Bit();
    const bool turned = header.get_typeof(VIPS_META_ORIENTATION) != 0 && header.get_int(VIPS_META_ORIENTATION) > 1;
    VImage image = header;
    if (WebPDecoder::decodes(name.constData(), header)) {
        if (!turned)
            return WebPDecoder::decode(name.constData(), withOwnProfile(withoutMetadata(header)));
        image = WebPDecoder::decode(name.constData(), header);
    }
    // The profile is copied before the loader can close.
    return withOwnProfile(withoutMetadata(image.autorot())).copy_memory();
}

ImageIO::Result failed(ImageIO::Status status, const VError& error)
{
    const QString detail = QString::fromUtf8(error.what()).trimmed();
    // VError::what() keeps every earlier message unless the buffer is cleared.
    vips_error_clear();
    return {status, detail};
}

// libvips warns of what the caller then reports as a failure in its own
// words: its lines belong behind a category, not raw on standard error.
void forwardVipsMessage(const gchar*, GLogLevelFlags level, const gchar* message, gpointer)
{
    if (level & (G_LOG_LEVEL_ERROR | G_LOG_LEVEL_CRITICAL | G_LOG_LEVEL_WARNING | G_LOG_LEVEL_MESSAGE))
        qCInfo(lcVips, "%s", message);
    else
        qCDebug(lcVips, "%s", message);
}

} // namespace

bool ImageIO::initialize()
{
    static std::once_flag once;
    static bool ready = false;
    std::call_once(once, [] {
        // Every file's decode allocates and frees buffers of its whole image. Freshly
        // mapped memory costs a page fault per page, a fifth of the CPU of a batch of
        // JPEGs: freed buffers up to this size stay with the process for the next file.
        constexpr int keptBuffers = 64 << 20;
        mallopt(M_MMAP_THRESHOLD, keptBuffers);
        mallopt(M_TRIM_THRESHOLD, keptBuffers);
        g_log_set_handler("VIPS", GLogLevelFlags(G_LOG_LEVEL_MASK | G_LOG_FLAG_FATAL | G_LOG_FLAG_RECURSION),
                          forwardVipsMessage, nullptr);
        ready = VIPS_INIT("pressly") == 0;
        if (ready)
            vips_cache_set_max(0); // a cached load would hand back a file's earlier contents
        vips_error_clear();
    });
    return ready;
}

bool ImageIO::isAnimatedPng(const QString& path)
{
    return hasPngChunkBeforeImageData(path, "acTL");
}

bool ImageIO::hasPngChunkBeforeImageData(const QString& path, const char* chunkType)
{
    return PngChunks::contains(path, chunkType, true);
}

bool ImageIO::hasPngChunk(const QString& path, const char* chunkType)
{
    return PngChunks::contains(path, chunkType, false);
}

bool ImageIO::isAnimated(const QString& path)
{
    if (isAnimatedPng(path))
        return true;
    if (!initialize())
        return false;
    // libvips' per-thread buffers are freed when a pooled thread is done with it.
    const auto cleanup = qScopeGuard([] { vips_thread_shutdown(); });
    try {
        const VImage image = VImage::new_from_source(vips::VSource::new_from_file(path.toLocal8Bit().constData()), "");
        return image.get_typeof("n-pages") != 0 && image.get_int("n-pages") > 1;
    } catch (const VError&) {
        vips_error_clear();
        return false;
    }
}

std::optional<ImageIO::Header> ImageIO::header(const QString& path)
{
    if (!initialize())
        return std::nullopt;
    const auto cleanup = qScopeGuard([] { vips_thread_shutdown(); });
    try {
        const VImage image = VImage::new_from_source(vips::VSource::new_from_file(path.toLocal8Bit().constData()), "");
        Header header;
        if (image.get_typeof(VIPS_META_ORIENTATION) != 0)
            header.orientation = std::clamp(image.get_int(VIPS_META_ORIENTATION), 1, 8);
        if (image.get_typeof(VIPS_META_ICC_NAME) != 0) {
            size_t length = 0;
            const void* data = image.get_blob(VIPS_META_ICC_NAME, &length);
            header.iccProfile = QByteArray(static_cast<const char*>(data), qsizetype(length));
        }
        return header;
    } catch (const VError&) {
        vips_error_clear();
        return std::nullopt;
    }
}

std::optional<QSize> ImageIO::decodedSize(const QString& path)
{
    if (!initialize())
        return std::nullopt;
    // libvips' per-thread buffers are freed when a pooled thread is done with it.
    const auto cleanup = qScopeGuard([] { vips_thread_shutdown(); });
    try {
        const VImage image = strictLoad(path);
        if (qint64(image.width()) * qint64(image.height()) > maxPixels)
            return std::nullopt;
        const VImage pixels = image.copy_memory();
        return QSize(pixels.width(), pixels.height());
    } catch (const VError&) {
        vips_error_clear();
        return std::nullopt;
    }
}

ImageIO::Result ImageIO::reencode(const QString& input, const QString& output, const Options& options)
{
    if (!initialize())
        return {Status::unreadable, QStringLiteral("libvips could not start")};
    if (isAnimatedPng(input))
        return {Status::animated, {}};
    // libvips' per-thread buffers are freed when a pooled thread is done with it.
    const auto cleanup = qScopeGuard([] { vips_thread_shutdown(); });

    VImage image;
    PixelBudget::Lease lease; // held until the file is written
    try {
        image = strictLoad(input);
        if (qint64(image.width()) * qint64(image.height()) > maxPixels)
            return {Status::tooManyPixels, {}};
        if (image.get_typeof("n-pages") != 0 && image.get_int("n-pages") > 1)
            return {Status::animated, {}};
        // A new file would keep the pixels that libjpeg made up for corrupt
        // data. Checked within the limit only: it holds every coefficient.
        if (const auto damage = JpegIntegrity::damage(input); damage && !damage->isEmpty())
            return {Status::unreadable, *damage};
        lease = PixelBudget::shared().acquire(qint64(image.width()) * qint64(image.height()));
        image = decoded(input, image);
    } catch (const VError& error) {
        return failed(Status::unreadable, error);
    }

    {
        QFile file(output);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return {Status::cannotCreateOutput, file.errorString()};
    }
    try {
        save(image, output, options);
    } catch (const VError& error) {
        return failed(Status::cannotSave, error);
    }
    return {};
}
