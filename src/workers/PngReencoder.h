// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/Outcome.h"
#include "workers/FallbackReencoder.h"
#include "workers/IOFile.h"

#include <QCoroTask>
#include <QString>
#include <QUrl>

// The image-I/O stand-in for the PNG tools when they cannot be found: a
// plain lossless PNG of the first image. Its failures carry the tool name
// "libvips".
namespace PngReencoder {

using Texts = FallbackReencoder::Texts;

Texts losslessTexts();
Texts pngquantTexts();

// True when the PNG written to `output` is smaller than the input. The output
// is left in place whatever the answer; the caller deletes an unused one.
QCoro::Task<Outcome<bool>> reencode(IOFile::Ptr input, QUrl output, Texts texts);

} // namespace PngReencoder
