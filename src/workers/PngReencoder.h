#pragma once

#include "jobs/Outcome.h"
#include "workers/IOFile.h"

#include <QCoroTask>
#include <QString>
#include <QUrl>

// The image-I/O stand-in for the PNG tools when they cannot be found: a
// plain lossless PNG of the first image. Its failures carry the tool name
// "Core Graphics".
namespace PngReencoder {

inline constexpr qint64 maxInputBytes = 52'428'800;

struct Texts {
    QString starting;  // followed by the input size and " bytes"
    QString note;      // logged after the size comparison when not empty
    QString completed; // followed by "OPTIMIZED" or "NO_CHANGE"
};

Texts losslessTexts();
Texts pngquantTexts();

// True when the PNG written to `output` is smaller than the input. The output
// is left in place whatever the answer; the caller deletes an unused one.
QCoro::Task<Outcome<bool>> reencode(IOFile::Ptr input, QUrl output, Texts texts);

} // namespace PngReencoder
