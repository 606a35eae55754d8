// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/RawImageComparison.h"

#include <libraw/libraw.h>

#include <cstring>
#include <memory>

namespace {

struct Closer {
    void operator()(libraw_data_t* raw) const { libraw_close(raw); }
};
using Raw = std::unique_ptr<libraw_data_t, Closer>;

Raw openRaw(const QString& path, QString* why)
{
    Raw raw(libraw_init(0));
    if (!raw) {
        *why = QStringLiteral("libraw cannot start");
        return nullptr;
    }
    int status = libraw_open_file(raw.get(), path.toLocal8Bit().constData());
    if (status == LIBRAW_SUCCESS)
        status = libraw_unpack(raw.get());
    if (status != LIBRAW_SUCCESS) {
        *why = QString::fromUtf8(libraw_strerror(status));
        return nullptr;
    }
    return raw;
}

// Bytes per raw pixel and the first row, whichever layout libraw chose.
std::pair<size_t, const char*> samples(const libraw_rawdata_t& data)
{
    if (data.raw_image)
        return {sizeof(ushort), reinterpret_cast<const char*>(data.raw_image)};
    if (data.color3_image)
        return {3 * sizeof(ushort), reinterpret_cast<const char*>(data.color3_image)};
    if (data.color4_image)
        return {4 * sizeof(ushort), reinterpret_cast<const char*>(data.color4_image)};
    return {0, nullptr};
}

std::optional<QString> describeMismatch(const libraw_data_t& a, const libraw_data_t& b)
{
    const auto& sa = a.sizes;
    const auto& sb = b.sizes;
    if (sa.raw_width != sb.raw_width || sa.raw_height != sb.raw_height || sa.width != sb.width || sa.height != sb.height
        || sa.top_margin != sb.top_margin || sa.left_margin != sb.left_margin)
        return QStringLiteral("the raw image's dimensions differ");
    if (sa.flip != sb.flip)
        return QStringLiteral("the orientation differs");
    if (a.idata.filters != b.idata.filters || a.idata.colors != b.idata.colors
        || std::memcmp(a.idata.xtrans, b.idata.xtrans, sizeof a.idata.xtrans) != 0)
        return QStringLiteral("the colour filter pattern differs");
    if (a.color.black != b.color.black || std::memcmp(a.color.cblack, b.color.cblack, sizeof a.color.cblack) != 0
        || a.color.maximum != b.color.maximum)
        return QStringLiteral("the black or white levels differ");
    return std::nullopt;
}

} // namespace

std::optional<QString> RawImageComparison::difference(const QString& source, const QString& candidate)
{
    QString why;
    const Raw before = openRaw(source, &why);
    if (!before)
        return QStringLiteral("the original's raw image cannot be decoded to compare with (%1)").arg(why);
    const Raw after = openRaw(candidate, &why);
    if (!after)
        return QStringLiteral("the output's raw image does not decode (%1)").arg(why);
    if (auto mismatch = describeMismatch(*before, *after))
        return mismatch;
    const auto [pixelBytes, first] = samples(before->rawdata);
    const auto [otherBytes, other] = samples(after->rawdata);
    if (!first || !other || pixelBytes != otherBytes)
        return QStringLiteral("the raw samples are not laid out alike");
    const auto& sourceSizes = before->rawdata.sizes;
    const auto& outputSizes = after->rawdata.sizes;
    const size_t rowBytes = size_t(sourceSizes.raw_width) * pixelBytes;
    for (size_t row = 0; row < sourceSizes.raw_height; ++row)
        if (std::memcmp(first + row * sourceSizes.raw_pitch, other + row * outputSizes.raw_pitch, rowBytes) != 0)
            return QStringLiteral("the raw samples differ from row %1 on").arg(row);
    return std::nullopt;
}
