// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/Outcome.h"
#include "workers/FallbackReencoder.h"
#include "workers/IOFile.h"

#include <QCoroTask>
#include <QString>
#include <QUrl>

// The image-I/O stand-in for the JPEG tools: a new JPEG of the first image,
// orientation applied and written as 1, colour profile kept, no other
// metadata. Its failures carry the tool name "libvips".
namespace JpegReencoder {

using Texts = FallbackReencoder::Texts;

Texts jpegoptimTexts();
Texts jpegtranTexts();

// True when the JPEG written to `output` with `quality` (1 to 100) is smaller
// than the input. The output is left in place whatever the answer.
QCoro::Task<Outcome<bool>> reencode(IOFile::Ptr input, QUrl output, Texts texts, int quality);

// Under the lossless preset a re-encode would lose detail: answers false.
Outcome<bool> refuseLossy();

} // namespace JpegReencoder
