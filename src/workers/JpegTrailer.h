// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

// What a JPEG carries after its end-of-image marker: the video of a motion
// photo, a second image, padding. Tools drop it; it must reach the result
// byte for byte, at the very end, where offsets counted from the end still hold.
class JpegTrailer {
public:
    // Where the image ends: just past its EOI marker, found by walking the
    // segments and the entropy-coded data (a trailer may hold FFD9 and whole
    // JPEGs of its own). -1 when the stream is not a JPEG or ends early.
    static qsizetype imageEnd(const QByteArray& bytes);

    // The bytes after the image's end; empty when there are none or the
    // file is not a complete JPEG.
    static QByteArray of(const QString& path);

    // Makes the JPEG at `output` end with `trailer`: appended when it has
    // none, kept when it already ends with exactly these bytes. False when
    // it ends with other bytes or cannot be written.
    static bool carryOver(const QByteArray& trailer, const QString& output);
};
