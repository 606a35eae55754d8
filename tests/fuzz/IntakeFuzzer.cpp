// Type detection and reading one file: any bytes under any supported (or
// unsupported) name must give a consistent answer and never crash.
#include "jobs/ImageFileCollector.h"
#include "workers/IOFile.h"
#include "workers/IOFileType.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QUrl>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <optional>

namespace {

void check(bool condition, const char* what)
{
    if (condition)
        return;
    std::fprintf(stderr, "invariant broken: %s\n", what);
    std::abort();
}

// Every name the collector takes must be one the file model knows.
void checkExtensionsAgree()
{
    for (const QString& extension : ImageFileCollector::supportedExtensions()) {
        check(IOFileTypes::fromExtension(extension).has_value(), "collected extension unknown to the file model");
        check(IOFileTypes::fromExtension(extension.toUpper()).has_value(), "upper-case extension not recognised");
    }
}

QString workFolder()
{
    static QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/intake-fuzz-XXXXXX"));
    check(dir.isValid(), "no temporary folder");
    return dir.path();
}

const char* const kNames[] = {"input.png", "input.JPG", "input.jpeg", "input.gif", "input.svg",  "input.webp",
                              "input.HEIC", "input.heif", "input.dng", "input.txt", "input",     "input.png.bmp"};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const bool once = (checkExtensionsAgree(), true);
    (void)once;
    static const QString folder = workFolder();

    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const auto type = IOFileTypes::fromContent(bytes);
    const QByteArray head = bytes.first(std::min(bytes.size(), IOFileTypes::contentProbeLength));
    check(type == IOFileTypes::fromContent(head), "detection looked past the probe length");
    if (type)
        check(IOFileTypes::fromRawValue(IOFileTypes::rawValue(*type)) == type, "raw value does not round-trip");

    const QString name = QString::fromLatin1(kNames[size == 0 ? 0 : data[0] % std::size(kNames)]);
    const QString path = folder + QLatin1Char('/') + name;
    {
        QFile out(path);
        check(out.open(QIODevice::WriteOnly | QIODevice::Truncate), "cannot write the input");
        check(out.write(bytes) == bytes.size(), "short write");
    }
    const QUrl url = QUrl::fromLocalFile(path);
    const IOFile::Ptr file = IOFile::read(url);
    const auto byName = IOFileTypes::fromExtension(QFileInfo(path).suffix());
    const auto expected = type ? type : byName;
    check(static_cast<bool>(file) == expected.has_value(), "read disagrees with detection");
    if (file) {
        check(file->fileType == *expected, "read reports another kind");
        check(file->byteSize == bytes.size(), "read reports another size");
        check(file->path == url && file->localPath() == path, "read reports another location");
    }
    QFile::remove(path);

    check(!IOFile::read(url), "a removed file was read");
    const QString folderNamedLikeImage = folder + QStringLiteral("/folder.png");
    QDir().mkdir(folderNamedLikeImage);
    check(!IOFile::read(QUrl::fromLocalFile(folderNamedLikeImage)), "a folder was read as an image");
    return 0;
}
