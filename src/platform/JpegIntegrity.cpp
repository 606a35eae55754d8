#include "platform/JpegIntegrity.h"

#include <QFile>

#include <csetjmp>
#include <cstdio>
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
bool isHarmless(int code) { return code == JWRN_ADOBE_XFORM || code == JWRN_JFIF_MAJOR || code == JWRN_BOGUS_ICC; }

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

} // namespace

QString JpegIntegrity::damage(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray bytes = file.readAll();
    if (!bytes.startsWith("\xFF\xD8\xFF"))
        return {};
    ErrorManager manager;
    if (readCoefficients(reinterpret_cast<const unsigned char*>(bytes.constData()), (unsigned long)bytes.size(),
                         manager))
        return {};
    return QString::fromLocal8Bit(manager.message);
}
