// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>
#include <QSize>
#include <QString>

// Small pictures of image files for the window, through libvips: shrunk while
// decoding where the format allows it, upright by the EXIF orientation, in
// sRGB. Blocks: never call it on the event-loop thread.
namespace PictureDecoder {
// Fits the picture into `bound` without enlarging it (a drawing, SVG, is
// drawn to fill `bound`, sharp at the size shown); a null image with
// `error` set when the file is gone or unreadable.
QImage decode(const QString& path, QSize bound, QString* error);
} // namespace PictureDecoder
