// Folder walks over trees built from the input: odd names, hidden items,
// packages, links back up the tree. Each input line is one step:
//   d NAME  make a folder and go into it      u       go back up
//   f NAME  make a file                        l NAME  link to ".."
//   r NAME  link to the tree's root            p NAME  link to "."
//   s NAME  link to the last file made         x NAME  link to nowhere
//   q NAME  make a named pipe (listing it must not open it)
// Any other first byte makes a file named by the whole line.
#include "jobs/ImageFileCollector.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QTemporaryDir>
#include <QUrl>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace {

constexpr int kMaxSteps = 256;
constexpr size_t kMaxDepth = 40;

void check(bool condition, const char* what, const QString& detail = {})
{
    if (condition)
        return;
    std::fprintf(stderr, "invariant broken: %s %s\n", what, qPrintable(detail));
    std::abort();
}

bool isPackageExtension(const QString& suffix)
{
    static const QStringList packages{"app", "bundle", "framework", "plugin", "kext", "pkg",
                                      "mpkg", "rtfd", "photoslibrary", "aplibrary", "xcarchive"};
    return packages.contains(suffix);
}

QString lowerSuffix(const QString& name)
{
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? QString() : name.mid(dot + 1).toLower();
}

bool isDirectoryNoLink(const QString& path)
{
    struct stat st {};
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 && S_ISDIR(st.st_mode);
}

// What the walk should find, from the disk itself. A name that is not valid
// UTF-8 cannot be named again once decoded, so the walk leaves it alone.
void expectedIn(const QString& folder, QStringList& found)
{
    DIR* dir = ::opendir(QFile::encodeName(folder).constData());
    if (!dir)
        return;
    std::vector<QByteArray> names;
    while (const dirent* entry = ::readdir(dir)) {
        const QByteArray raw(entry->d_name);
        if (raw != "." && raw != "..")
            names.push_back(raw);
    }
    ::closedir(dir);
    for (const QByteArray& raw : names) {
        const QString name = QFile::decodeName(raw);
        if (QFile::encodeName(name) != raw || name.startsWith(QLatin1Char('.')))
            continue;
        const QString path = folder + QLatin1Char('/') + name;
        if (ImageFileCollector::supportedExtensions().contains(lowerSuffix(name)))
            found.append(path);
        if (isDirectoryNoLink(path) && !isPackageExtension(lowerSuffix(name)))
            expectedIn(path, found);
    }
}

std::string safeName(std::string name)
{
    // A name never leaves its folder.
    for (char& c : name)
        if (c == '/' || c == '\0')
            c = '_';
    return name;
}

void buildTree(const std::string& root, const uint8_t* data, size_t size)
{
    std::vector<std::string> folders{root};
    std::string lastFile;
    int steps = 0;
    size_t start = 0;
    while (start < size && steps++ < kMaxSteps) {
        size_t end = start;
        while (end < size && data[end] != '\n')
            ++end;
        const std::string line(reinterpret_cast<const char*>(data) + start, end - start);
        start = end + 1;
        if (line.empty())
            continue;
        const char op = line[0];
        const std::string name = safeName(line.size() > 1 ? line.substr(line[1] == ' ' ? 2 : 1) : std::string());
        const std::string path = folders.back() + "/" + name;
        switch (op) {
        case 'd':
            if (folders.size() < kMaxDepth && ::mkdir(path.c_str(), 0755) == 0)
                folders.push_back(path);
            break;
        case 'u':
            if (folders.size() > 1)
                folders.pop_back();
            break;
        case 'l': (void)::symlink("..", path.c_str()); break;
        case 'r': (void)::symlink(root.c_str(), path.c_str()); break;
        case 'p': (void)::symlink(".", path.c_str()); break;
        case 'x': (void)::symlink("/nonexistent-pressly-fuzz", path.c_str()); break;
        case 'q': (void)::mkfifo(path.c_str(), 0644); break;
        case 's':
            if (!lastFile.empty())
                (void)::symlink(lastFile.c_str(), path.c_str());
            break;
        default: {
            const std::string filePath = op == 'f' ? path : folders.back() + "/" + safeName(line);
            const int fd = ::open(filePath.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0644);
            if (fd >= 0) {
                (void)!::write(fd, line.data(), line.size());
                ::close(fd);
                lastFile = filePath;
            }
        }
        }
    }
}

QString workFolder()
{
    static QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/collection-fuzz-XXXXXX"));
    check(dir.isValid(), "no temporary folder");
    return dir.path();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const QString base = workFolder();
    const QString root = base + QStringLiteral("/tree");
    const std::string rootBytes = QFile::encodeName(root).toStdString();
    std::error_code ignored;
    std::filesystem::remove_all(rootBytes, ignored);
    check(::mkdir(rootBytes.c_str(), 0755) == 0, "cannot make the tree's root");
    buildTree(rootBytes, data, size);

    const QList<QUrl> urls = ImageFileCollector::collectImageURLs({QUrl::fromLocalFile(root)});
    check(urls == ImageFileCollector::collectImageURLs({QUrl::fromLocalFile(root)}), "two walks differ");

    QStringList expected;
    expectedIn(root, expected);

    QStringList paths;
    QHash<QString, int> seen;
    for (const QUrl& url : urls) {
        check(url.isLocalFile(), "not a file URL", url.toString());
        const QString path = url.toLocalFile();
        check(path.startsWith(root + QLatin1Char('/')), "outside the tree", path);
        const QStringList parts = path.mid(root.size() + 1).split(QLatin1Char('/'));
        for (const QString& part : parts)
            check(!part.isEmpty() && part != QLatin1String("..") && !part.startsWith(QLatin1Char('.')),
                  "hidden, empty or parent component", path);
        check(ImageFileCollector::supportedExtensions().contains(lowerSuffix(parts.last())), "unsupported name",
              path);
        check(++seen[path] == 1, "listed twice", path);
        struct stat st {};
        check(::lstat(QFile::encodeName(path).constData(), &st) == 0, "listed but not on disk", path);
        paths.append(path);
    }
    QStringList sortedPaths = paths;
    QStringList sortedExpected = expected;
    sortedPaths.sort();
    sortedExpected.sort();
    check(sortedPaths == sortedExpected, "the walk's items differ from the tree's",
          sortedPaths.join(QLatin1Char('|')) + QStringLiteral(" vs ") + sortedExpected.join(QLatin1Char('|')));

    std::filesystem::remove_all(rootBytes, ignored);
    return 0;
}
