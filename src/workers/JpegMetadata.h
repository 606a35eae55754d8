// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

// What a JPEG needs to keep to look the same once its metadata is stripped:
// its EXIF orientation and a colour profile that is not sRGB. Only the
// header is read (through libvips).
struct JpegMetadata {
    int orientation = 1; // 1 to 8; 1 when absent or invalid
    QByteArray iccProfile;

    static JpegMetadata read(const QString& path);

    bool needsExif() const { return orientation != 1; }
    // Viewers take an untagged image as sRGB, so only another profile matters.
    bool needsColourProfile() const { return !iccProfile.isEmpty() && !isSrgb(iccProfile); }
    // The profile's description names sRGB (ASCII or UTF-16 text).
    static bool isSrgb(const QByteArray& profile);
};
