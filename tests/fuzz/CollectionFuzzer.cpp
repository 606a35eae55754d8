// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Folder walks over trees built from the input: odd names, hidden items,
// links back up the tree and out of it. Each input line is one step:
//   d NAME  make a folder and go into it      u       go back up
//   f NAME  make a file                        l NAME  link to ".."
//   r NAME  link to the tree's root            p NAME  link to "."
//   s NAME  link to the last file made         x NAME  link to nowhere
//   q NAME  make a named pipe (listing it must not open it)
// Any other first byte makes a file named by the whole line.
#include "jobs/ImageFileCollector.h"

#include <QDir>
#include <QTemporaryDir>
#include <QUrl>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace {

void check(bool condition, const char* what, const QString& detail = {})
{
    if (!condition) {
        std::fprintf(stderr, "invariant broken: %s %s\n", what, qPrintable(detail));
        std::abort();
    }
}

QString lowerSuffix(const QString& name)
{
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? QString() : name.mid(dot + 1).toLower();
}

// What the walk should find, from the disk itself. A name that is not valid
// UTF-8 cannot be named again once decoded, so the walk leaves it alone. An
// image is a regular file, or a link to one inside the tree; folders are
// walked, links to folders are not.
void expectedIn(const QString& folder, const std::string& realRoot, QStringList& found)
{
    std::vector<QByteArray> names;
    if (DIR* dir = ::opendir(QFile::encodeName(folder).constData())) {
        while (const dirent* entry = ::readdir(dir))
            names.emplace_back(entry->d_name);
        ::closedir(dir);
    }
    for (const QByteArray& raw : names) {
        const QString name = QFile::decodeName(raw);
        if (QFile::encodeName(name) != raw || name.startsWith(QLatin1Char('.')))
            continue;
        const QString path = folder + QLatin1Char('/') + name;
        const QByteArray bytes = QFile::encodeName(path);
        struct stat own {
        }, target{};
        if (::lstat(bytes.constData(), &own) != 0)
            continue;
        const bool regular = ::stat(bytes.constData(), &target) == 0 && S_ISREG(target.st_mode);
        bool inside = !S_ISLNK(own.st_mode);
        if (!inside) {
            char resolved[PATH_MAX];
            inside = ::realpath(bytes.constData(), resolved) && std::string(resolved).rfind(realRoot + "/", 0) == 0;
        }
        if (ImageFileCollector::supportedExtensions().contains(lowerSuffix(name)) && regular && inside)
            found.append(path);
        if (S_ISDIR(own.st_mode))
            expectedIn(path, realRoot, found);
    }
}

void buildTree(const std::string& root, const uint8_t* data, size_t size)
{
    std::vector<std::string> folders{root};
    std::string lastFile;
    size_t start = 0;
    for (int steps = 0; start < size && steps < 256; ++steps) {
        size_t end = start;
        while (end < size && data[end] != '\n')
            ++end;
        std::string line(reinterpret_cast<const char*>(data) + start, end - start);
        start = end + 1;
        for (char& c : line) // a name never leaves its folder
            c = c == '/' || c == '\0' ? '_' : c;
        if (line.empty())
            continue;
        const std::string path = folders.back() + "/" + line.substr(line.size() > 1 && line[1] == ' ' ? 2 : 1);
        switch (line[0]) {
        case 'd':
            if (folders.size() < 40 && ::mkdir(path.c_str(), 0755) == 0)
                folders.push_back(path);
            break;
        case 'u':
            if (folders.size() > 1)
                folders.pop_back();
            break;
        case 'l':
            (void)::symlink("..", path.c_str());
            break;
        case 'r':
            (void)::symlink(root.c_str(), path.c_str());
            break;
        case 'p':
            (void)::symlink(".", path.c_str());
            break;
        case 'x':
            (void)::symlink("/nonexistent-pressly-fuzz", path.c_str());
            break;
        case 'q':
            (void)::mkfifo(path.c_str(), 0644);
            break;
        case 's':
            (void)(!lastFile.empty() && ::symlink(lastFile.c_str(), path.c_str()) == 0);
            break;
        default: {
            const std::string filePath = line[0] == 'f' ? path : folders.back() + "/" + line;
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

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static QTemporaryDir base(QDir::tempPath() + QStringLiteral("/collection-fuzz-XXXXXX"));
    check(base.isValid(), "no temporary folder");
    const QString root = base.filePath(QStringLiteral("tree"));
    const std::string rootBytes = QFile::encodeName(root).toStdString();
    std::error_code ignored;
    std::filesystem::remove_all(rootBytes, ignored);
    check(::mkdir(rootBytes.c_str(), 0755) == 0, "cannot make the tree's root");
    buildTree(rootBytes, data, size);

    const QList<QUrl> urls = ImageFileCollector::collectImageURLs({QUrl::fromLocalFile(root)});
    check(urls == ImageFileCollector::collectImageURLs({QUrl::fromLocalFile(root)}), "two walks differ");
    QStringList paths;
    for (const QUrl& url : urls) {
        const QString path = url.toLocalFile();
        check(url.isLocalFile() && path.startsWith(root + QLatin1Char('/')), "outside the tree", url.toString());
        for (const QString& part : path.mid(root.size() + 1).split(QLatin1Char('/')))
            check(!part.isEmpty() && !part.startsWith(QLatin1Char('.')), "hidden, empty or parent component", path);
        check(!paths.contains(path), "listed twice", path);
        paths.append(path);
    }
    // Every supported name on disk, and nothing else, once each.
    QStringList expected;
    char realRoot[PATH_MAX];
    check(::realpath(rootBytes.c_str(), realRoot) != nullptr, "the tree's root cannot be resolved");
    expectedIn(root, realRoot, expected);
    paths.sort();
    expected.sort();
    check(paths == expected, "the walk's items differ from the tree's", paths.join('|') + " vs " + expected.join('|'));
    std::filesystem::remove_all(rootBytes, ignored);
    return 0;
}
