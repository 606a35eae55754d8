// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Replaces one file in place and kills itself at the N-th step of the
// replacement, so a test can look at what a crash there leaves behind.
// Usage: pressly_placement_child <file> <new version> <N> (0: never killed).
// Prints each step on standard error; exits 0 when the file was replaced,
// 1 when the replacement failed cleanly.

#include "jobs/Configuration.h"
#include "jobs/FileOperations.h"
#include "jobs/OutputPlacement.h"
#include "platform/KeyValueStore.h"

#include <QCoreApplication>
#include <QDir>
#include <QUrl>

#include <csignal>
#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s <file> <new version> <kill at step>\n", argv[0]);
        return 2;
    }
    KeyValueStore::useFile(QDir(QDir::tempPath()).filePath(QStringLiteral("placement-child.ini")));
    const QString file = QString::fromLocal8Bit(argv[1]);
    const QString replacement = QString::fromLocal8Bit(argv[2]);
    const int killAt = QString::fromLatin1(argv[3]).toInt();

    int step = 0;
    FileOperations::setFaultHook([&](const char* name, const QString&) {
        ++step;
        std::fprintf(stderr, "%d %s\n", step, name);
        std::fflush(stderr);
        if (step == killAt)
            std::raise(SIGKILL);
        return 0;
    });
    Configuration configuration;
    OutputPlacement placement(configuration);
    const auto error = placement.replaceOriginal(QUrl::fromLocalFile(file), QUrl::fromLocalFile(replacement));
    if (error) {
        std::fprintf(stderr, "failed: %s\n", qPrintable(error->errorDescription()));
        return 1;
    }
    std::fprintf(stderr, "replaced\n");
    return 0;
}
