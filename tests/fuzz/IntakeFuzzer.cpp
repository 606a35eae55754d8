// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Type detection and reading one file: any bytes under any supported (or
// unsupported) name must give a consistent answer and never crash.
#include "jobs/ImageFileCollector.h"
#include "workers/IOFile.h"
#include "workers/IOFileType.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QUrl>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <iterator>

namespace {

void check(bool condition, const char* what)
{
    if (!condition) {
        std::fprintf(stderr, "invariant broken: %s\n", what);
        std::abort();
    }
}

const char* const kNames[] = {"input.png",  "input.JPG",  "input.jpeg", "input.gif", "input.svg", "input.webp",
                              "input.HEIC", "input.heif", "input.dng",  "input.txt", "input",     "input.png.bmp"};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static QTemporaryDir folder(QDir::tempPath() + QStringLiteral("/intake-fuzz-XXXXXX"));
    static const bool once = [] {
        check(folder.isValid(), "no temporary folder");
        // Every name the collector takes must be one the file model knows, in any case.
        for (const QString& extension : ImageFileCollector::supportedExtensions())
            check(IOFileTypes::fromExtension(extension) && IOFileTypes::fromExtension(extension.toUpper()),
                  "collected extension unknown to the file model");
        return true;
    }();
    (void)once;

    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const auto type = IOFileTypes::fromContent(bytes);
    check(type == IOFileTypes::fromContent(bytes.first(std::min(bytes.size(), IOFileTypes::contentProbeLength))),
          "detection looked past the probe length");
    check(!type || IOFileTypes::fromRawValue(IOFileTypes::rawValue(*type)) == type, "raw value does not round-trip");

    const QString path = folder.filePath(QString::fromLatin1(kNames[size == 0 ? 0 : data[0] % std::size(kNames)]));
    {
        QFile out(path);
        check(out.open(QIODevice::WriteOnly | QIODevice::Truncate) && out.write(bytes) == bytes.size(), "cannot write");
    }
    const QUrl url = QUrl::fromLocalFile(path);
    const IOFile::Ptr file = IOFile::read(url);
    const auto expected = type ? type : IOFileTypes::fromExtension(QFileInfo(path).suffix());
    check(bool(file) == expected.has_value(), "read disagrees with detection");
    check(!file || (file->fileType == *expected && file->byteSize == bytes.size() && file->path == url),
          "read reports another kind, size or location");
    QFile::remove(path);
    return 0;
}
