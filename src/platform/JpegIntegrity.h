#pragma once

#include <QString>

// Whether a JPEG's compressed data reads without fault. libjpeg only warns
// about corrupt or missing data and makes up the pixels it lost, so a decoder
// that stops on errors alone takes a damaged photo for a sound one.
class JpegIntegrity {
public:
    // libjpeg's first complaint about the data of the JPEG at `path`; empty
    // when every scan reads cleanly or the file is not a JPEG. Reads the
    // coefficients only, without rendering pixels.
    static QString damage(const QString& path);
};
