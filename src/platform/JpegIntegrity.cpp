// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/JpegIntegrity.h"

#include <QFile>

#include <csetjmp>
#include <cstdio>
#include <cstring>
// jpeglib.h needs FILE and size_t declared first.
#include <jerror.h>
#include <jpeglib.h>

namespace {

struct ErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf escape;
    char message[JMSG_LENGTH_MAX];
};

// Warnings about the markers around the data, not the data itself.
bool isHarmless(int code)
{
    return code == JWRN_ADOBE_XFORM || code == JWRN_JFIF_MAJOR || code == JWRN_BOGUS_ICC;
}

void stop(j_common_ptr info)
{
    auto* manager = reinterpret_cast<ErrorManager*>(info->err);
    (*info->err->format_message)(info, manager->message);
    std::longjmp(manager->escape, 1);
}

void note(j_common_ptr info, int level)
{
    if (level < 0 && !isHarmless(info->err->msg_code))
        stop(info);
}

// No C++ object with a destructor lives here: longjmp skips them.
bool readCoefficients(const unsigned char* data, unsigned long size, ErrorManager& manager)
{
    jpeg_decompress_struct info;
    info.err = jpeg_std_error(&manager.base);
    manager.base.error_exit = stop;
    manager.base.emit_message = note;
    manager.message[0] = '\0';
    if (setjmp(manager.escape)) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, data, size);
    jpeg_read_header(&info, TRUE);
    jpeg_read_coefficients(&info);
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return true;
}

// A JPEG whose coefficients are read and kept until it is closed.
struct OpenJpeg {
    jpeg_decompress_struct info;
    ErrorManager manager;
    jvirt_barray_ptr* coefficients = nullptr;
    bool open = false;
};

bool openCoefficients(const QByteArray& bytes, OpenJpeg& jpeg)
{
    jpeg.info.err = jpeg_std_error(&jpeg.manager.base);
    jpeg.manager.base.error_exit = stop;
    jpeg.manager.base.emit_message = note;
    jpeg.manager.message[0] = '\0';
    if (setjmp(jpeg.manager.escape)) {
        jpeg_destroy_decompress(&jpeg.info);
        jpeg.open = false;
        return false;
    }
    jpeg_create_decompress(&jpeg.info);
    jpeg.open = true;
    jpeg_mem_src(&jpeg.info, reinterpret_cast<const unsigned char*>(bytes.constData()), (unsigned long)bytes.size());
    jpeg_read_header(&jpeg.info, TRUE);
    jpeg.coefficients = jpeg_read_coefficients(&jpeg.info);
    return true;
}

// Reads to the end of the data, where a damaged file may still complain.
bool finish(OpenJpeg& jpeg)
{
    if (setjmp(jpeg.manager.escape)) {
        jpeg_destroy_decompress(&jpeg.info);
        jpeg.open = false;
        return false;
    }
    jpeg_finish_decompress(&jpeg.info);
    jpeg_destroy_decompress(&jpeg.info);
    jpeg.open = false;
    return true;
}

bool sameFrame(const jpeg_decompress_struct& a, const jpeg_decompress_struct& b)
{
    if (a.image_width != b.image_width || a.image_height != b.image_height || a.num_components != b.num_components
        || a.jpeg_color_space != b.jpeg_color_space || a.data_precision != b.data_precision
        || a.saw_Adobe_marker != b.saw_Adobe_marker || (a.saw_Adobe_marker && a.Adobe_transform != b.Adobe_transform))
        return false;
    for (int c = 0; c < a.num_components; ++c) {
        const jpeg_component_info& x = a.comp_info[c];
        const jpeg_component_info& y = b.comp_info[c];
        if (x.h_samp_factor != y.h_samp_factor || x.v_samp_factor != y.v_samp_factor
            || x.width_in_blocks != y.width_in_blocks || x.height_in_blocks != y.height_in_blocks || !x.quant_table
            || !y.quant_table
            || std::memcmp(x.quant_table->quantval, y.quant_table->quantval, sizeof(UINT16) * DCTSIZE2) != 0)
            return false;
    }
    return true;
}

// Block row by block row: only the blocks that cover the image count.
bool sameCoefficients(OpenJpeg& a, OpenJpeg& b)
{
    for (int c = 0; c < a.info.num_components; ++c) {
        const jpeg_component_info& component = a.info.comp_info[c];
        for (JDIMENSION row = 0; row < component.height_in_blocks; ++row) {
            const JBLOCKARRAY left = (*a.info.mem->access_virt_barray)(reinterpret_cast<j_common_ptr>(&a.info),
                                                                       a.coefficients[c], row, 1, FALSE);
            const JBLOCKARRAY right = (*b.info.mem->access_virt_barray)(reinterpret_cast<j_common_ptr>(&b.info),
                                                                        b.coefficients[c], row, 1, FALSE);
            if (std::memcmp(left[0], right[0], sizeof(JBLOCK) * component.width_in_blocks) != 0)
                return false;
        }
    }
    return true;
}

bool isJpeg(const QByteArray& bytes)
{
    return bytes.startsWith("\xFF\xD8\xFF");
}

QByteArray contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

JpegIntegrity::Comparison JpegIntegrity::compare(const QString& source, const QString& candidate)
{
    Comparison result;
    const QByteArray sourceBytes = contents(source), candidateBytes = contents(candidate);
    OpenJpeg a, b;
    const bool readA = !isJpeg(sourceBytes) || openCoefficients(sourceBytes, a);
    const bool readB = !isJpeg(candidateBytes) || openCoefficients(candidateBytes, b);
    bool same = a.open && b.open && sameFrame(a.info, b.info);
    if (same) {
        // The arrays are in memory, so access cannot fail; an error here stops the comparison.
        ErrorManager& manager = a.manager;
        if (setjmp(manager.escape) == 0)
            same = sameCoefficients(a, b);
        else
            same = false;
    }
    const bool finishedA = !a.open || finish(a);
    const bool finishedB = !b.open || finish(b);
    if (!readA || !finishedA)
        result.sourceDamage = QString::fromLocal8Bit(a.manager.message);
    if (!readB || !finishedB)
        result.candidateDamage = QString::fromLocal8Bit(b.manager.message);
    result.same = same && result.sourceDamage.isEmpty() && result.candidateDamage.isEmpty();
    return result;
}

std::optional<QString> JpegIntegrity::damage(const QString& path)
{
    const QByteArray bytes = contents(path);
    if (!isJpeg(bytes))
        return std::nullopt;
    ErrorManager manager;
    if (readCoefficients(reinterpret_cast<const unsigned char*>(bytes.constData()), (unsigned long)bytes.size(),
                         manager))
        return QString();
    return QString::fromLocal8Bit(manager.message);
}
