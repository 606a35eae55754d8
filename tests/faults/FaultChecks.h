// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "TestSupport.h"

#include <QFileInfo>
#include <QUrl>

#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>

// The one promise every fault test checks: the original is byte for byte at
// its path, or in the Trash with restore information naming its path; and
// whatever stands at the path is complete (the original or the one result
// that was allowed to replace it).
namespace FaultChecks {

inline QString trashOf(const QString& dataHome)
{
    return QDir(dataHome).filePath(QStringLiteral("Trash"));
}

// The name in the Trash that holds `original` and was trashed from `path`.
inline QString trashedCopy(const QString& trash, const QString& path, const QByteArray& original)
{
    const QDir files(trash + QStringLiteral("/files"));
    for (const QString& name : files.entryList(QDir::Files | QDir::Hidden)) {
        if (TestSupport::readFile(files.filePath(name)) != original)
            continue;
        const QByteArray info = TestSupport::readFile(trash + QStringLiteral("/info/") + name
                                                      + QStringLiteral(".trashinfo"));
        const QByteArray encoded = QUrl::toPercentEncoding(path, "/");
        if (info.contains("\nPath=" + path.toUtf8() + '\n') || info.contains("\nPath=" + encoded + '\n'))
            return files.filePath(name);
    }
    return {};
}

struct Expectation {
    QString path;
    QByteArray original;
    QByteArray result; // may replace the original (empty: none may)
    bool pathMayBeEmpty = false; // a crash between the Trash and the rename
};

inline ::testing::AssertionResult nothingLost(const QString& trash, const Expectation& e)
{
    const bool present = QFileInfo::exists(e.path);
    const QByteArray atPath = present ? TestSupport::readFile(e.path) : QByteArray();
    if (present && atPath == e.original)
        return ::testing::AssertionSuccess();
    if (trashedCopy(trash, e.path, e.original).isEmpty())
        return ::testing::AssertionFailure()
               << qPrintable(e.path) << ": the original is neither at its path nor in the Trash";
    if (!present)
        return e.pathMayBeEmpty ? ::testing::AssertionSuccess()
                                : ::testing::AssertionFailure() << qPrintable(e.path) << ": nothing at the path";
    if (e.result.isEmpty() || atPath != e.result)
        return ::testing::AssertionFailure() << qPrintable(e.path) << ": " << atPath.size()
                                             << " bytes at the path are neither the original nor the result";
    return ::testing::AssertionSuccess();
}

// Our hidden files left in a folder.
inline QStringList hiddenLeftovers(const QString& folder)
{
    return QDir(folder).entryList({QStringLiteral(".Pressly.*")}, QDir::Files | QDir::Hidden | QDir::System);
}

// Everything in a folder, hidden files included.
inline QStringList everything(const QString& folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

// Another program saves its version over `path`, renaming a new file onto it.
inline void saveOver(const QString& path, const QByteArray& bytes)
{
    TestSupport::writeFile(path + QStringLiteral(".new"), bytes);
    std::rename(QFile::encodeName(path + QStringLiteral(".new")).constData(), QFile::encodeName(path).constData());
}

// Another program rewrites `path` in place, same size, and puts its modification time back.
inline void editKeepingTime(const QString& path)
{
    QThread::msleep(20); // past the file system's clock tick
    struct stat before { };
    ::stat(QFile::encodeName(path).constData(), &before);
    QByteArray bytes = TestSupport::readFile(path);
    bytes[bytes.size() - 20] = char(bytes[bytes.size() - 20] ^ 0x55);
    TestSupport::writeFile(path, bytes);
    const timespec times[2] = {before.st_atim, before.st_mtim};
    ::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0);
}

} // namespace FaultChecks
