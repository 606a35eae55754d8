// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "TestSupport.h"
#include "platform/FolderWatchLock.h"
#include "platform/ImageIO.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QSettings>

#include <csignal>

using namespace TestSupport;

// Files arrive whole, slowly, held open again by their writer and as downloads renamed at the end: each is
// optimized once and only once complete, again once replaced, and SIGTERM leaves the folder whole.
TEST(WatchCommandTest, OptimizesEachArrivingImageOnceWhenComplete)
{
    QTemporaryDir root;
    const QProcessEnvironment env = privateEnvironment(root.path());
    const QString in = root.filePath("in"), tmp = root.filePath("tmp");
    const QString trash = root.filePath("data/Trash/files");
    QDir().mkpath(in);
    QProcess pressly;
    pressly.setProcessEnvironment(env);
    pressly.start(PRESSLY_BINARY_DIR "/bin/pressly",
                  {"--watch", in, "--in-place", "--preset", "lossless", "--settle", "1", "--jobs", "2", "--json"});
    ASSERT_TRUE(processEventsUntil([&] { return pressly.readAllStandardError().contains("watching"); }));

    const QStringList samples{"png/pingus-flag3.png",   "png/imagemagick-objects.png",
                              "png/debian-debian.png",  "png/adwaita-24x24-legacy-view-restore.png",
                              "jpeg/pingus-clouds.jpg", "jpeg/pingus-rocktile.jpg"};
    QHash<QString, QByteArray> wanted;
    QHash<QString, QString> sampleOf;
    for (int i = 0; i < 50; ++i) {
        const QString sample = samples[i % samples.size()];
        const QString name = QStringLiteral("%1-%2").arg(i).arg(QFileInfo(sample).fileName());
        wanted.insert(name, readFile(dataFile(sample)));
        sampleOf.insert(name, sample);
    }
    const QStringList names = wanted.keys();
    const QStringList slow = names.mid(0, 5), downloads = names.mid(5, 3), held = names.mid(8, 2);
    for (const QString& name : names.mid(10))
        writeFile(QDir(in).filePath(name), wanted[name]);
    for (const QString& name : downloads)
        writeFile(QDir(in).filePath(name + ".part"), wanted[name].left(wanted[name].size() / 2));
    // Written in part, closed, then opened again and held for longer than the settle time.
    std::vector<std::unique_ptr<QFile>> writers;
    for (const QString& name : held) {
        writeFile(QDir(in).filePath(name), wanted[name].left(wanted[name].size() / 2));
        writers.push_back(std::make_unique<QFile>(QDir(in).filePath(name)));
        ASSERT_TRUE(writers.back()->open(QIODevice::Append));
    }
    // Each chunk closes the file, as a copy over a slow link would.
    for (int chunk = 0; chunk < 6; ++chunk) {
        for (const QString& name : slow) {
            const qsizetype size = wanted[name].size() / 6 + 1;
            appendFile(QDir(in).filePath(name), wanted[name].mid(chunk * size, size));
        }
        QThread::msleep(500); // the watcher runs on meanwhile
    }
    for (int i = 0; i < held.size(); ++i) {
        writers[i]->write(wanted[held[i]].mid(wanted[held[i]].size() / 2));
        writers[i]->close();
    }
    for (const QString& name : downloads) {
        appendFile(QDir(in).filePath(name + ".part"), wanted[name].mid(wanted[name].size() / 2));
        QFile::rename(QDir(in).filePath(name + ".part"), QDir(in).filePath(name));
    }

    QByteArray out;
    const auto results = [&] { return out.count('\n'); };
    ASSERT_TRUE(processEventsUntil([&] { return out += pressly.readAllStandardOutput(), results() >= 50; }, 90000))
        << out.toStdString();
    // Our own placements settle too: none of them may come back.
    processEventsUntil([&] { return out += pressly.readAllStandardOutput(), false; }, 2500);
    // One optimized, then replaced by another image, is taken again: here linked in whole, as Qt programs save.
    const QString replaced = names[10];
    QFile::remove(QDir(in).filePath(replaced));
    ASSERT_TRUE(QFile::copy(dataFile("png/pingus-flag3.png"), QDir(in).filePath(replaced)));
    ASSERT_TRUE(processEventsUntil([&] { return out += pressly.readAllStandardOutput(), results() >= 51; }, 30000));
    ::kill(pid_t(pressly.processId()), SIGTERM);
    ASSERT_TRUE(pressly.waitForFinished(20000));
    EXPECT_EQ(pressly.exitCode(), 143) << pressly.readAllStandardError().toStdString();
    out += pressly.readAllStandardOutput();

    QHash<QString, int> lines;
    int summarized = 0; // jobs dropped from the queue once reported still count
    for (const QByteArray& line : out.split('\n')) {
        const QJsonObject result = QJsonDocument::fromJson(line).object();
        summarized += result["summary"].toObject()["files"].toInt();
        if (result.contains("file")) {
            ++lines[QFileInfo(result["file"].toString()).fileName()];
            EXPECT_EQ(result["status"].toString().toStdString(), "completed") << line.toStdString();
        }
    }
    EXPECT_EQ(lines.size(), 50);
    EXPECT_EQ(summarized, 51); // the replacement is a job of its own
    for (const QString& name : names) {
        SCOPED_TRACE(qPrintable(name));
        EXPECT_EQ(lines.value(name), name == replaced ? 2 : 1);
        if (name == replaced)
            continue;
        // The original went to the Trash whole, or stayed when nothing was saved.
        const QString trashed = QDir(trash).filePath(name), now = QDir(in).filePath(name);
        EXPECT_EQ(readFile(QFileInfo::exists(trashed) ? trashed : now), wanted[name]);
        EXPECT_EQ(ImageIO::decodedSize(now), ImageIO::decodedSize(dataFile(sampleOf[name])));
    }
    EXPECT_TRUE(QDir(tmp).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot));
    EXPECT_EQ(QDir(in).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot).size(), 50);
}

// A folder another Pressly Pro watches is skipped with a line, and the run
// holds the others; with none left it says so and ends.
TEST(WatchCommandTest, LeavesFoldersAnotherProcessWatches)
{
    QTemporaryDir root;
    const QString held = root.filePath("held"), free = root.filePath("free");
    QDir().mkpath(held);
    QDir().mkpath(free);
    const auto window = FolderWatchLock::take(held);
    ASSERT_TRUE(window);
    QProcess pressly;
    QProcessEnvironment env = privateEnvironment(root.path());
    // The lock's place as this process has it (not under the child's own cache folder).
    env.insert("XDG_RUNTIME_DIR", QFileInfo(FolderWatchLock::lockFileFor(held)).path().section('/', 0, -2));
    pressly.setProcessEnvironment(env);
    pressly.start(PRESSLY_BINARY_DIR "/bin/pressly", {"--watch", held, "--in-place"});
    ASSERT_TRUE(pressly.waitForFinished(20000));
    EXPECT_EQ(pressly.exitCode(), 2);
    const QString said = QString::fromUtf8(pressly.readAllStandardError());
    EXPECT_TRUE(said.contains("another Pressly Pro watches this folder; skipped")) << said.toStdString();
    EXPECT_TRUE(said.contains("nothing to watch")) << said.toStdString();

    pressly.start(PRESSLY_BINARY_DIR "/bin/pressly", {"--watch", held, free, "--in-place"});
    QByteArray err;
    ASSERT_TRUE(processEventsUntil([&] {
        return err += pressly.readAllStandardError(), err.contains("watching 1 folder");
    })) << err.toStdString();
    EXPECT_TRUE(err.contains("skipped"));
    EXPECT_FALSE(FolderWatchLock::take(free));
    ::kill(pid_t(pressly.processId()), SIGTERM);
    ASSERT_TRUE(pressly.waitForFinished(20000));
    EXPECT_TRUE(FolderWatchLock::take(free));
}

// Without folders it watches the settings' ones, each its own way; paused it ends at once, with none it is a
// usage error, and a folder the window holds is taken once the window lets go.
TEST(WatchCommandTest, WatchesTheFoldersOfTheSettings)
{
    struct Case {
        const char* name;
        bool stored, paused, held;
        int exitCode;
    };
    for (const Case& c : {Case{"two folders", true, false, false, 143}, Case{"paused", true, true, false, 0},
                          Case{"none stored", false, false, false, 2}, Case{"held", true, false, true, 143}}) {
        SCOPED_TRACE(c.name);
        QTemporaryDir root;
        const QDir dir(root.path());
        QProcessEnvironment env = privateEnvironment(root.path());
        env.insert("XDG_RUNTIME_DIR", QFileInfo(FolderWatchLock::lockFileFor(root.path())).path().section('/', 0, -2));
        for (const char* name : {"lossless-in-place", "maximum-export", "out"})
            dir.mkpath(name);
        QSettings settings(dir.filePath("config/Pressly/Pressly Pro.conf"), QSettings::IniFormat);
        settings.setValue("watchingPaused", c.paused);
        settings.setValue("exportPath", dir.filePath("out"));
        if (c.stored)
            settings.setValue("watchedFolders",
                              QString(R"([{"path": "%1", "mode": "optimizeOriginals", "preset": "lossless"},
                {"path": "%2", "mode": "exportToFolder", "preset": "maximum"}])")
                                  .arg(dir.filePath("lossless-in-place"), dir.filePath("maximum-export")));
        settings.sync();
        auto window = c.held ? FolderWatchLock::take(dir.filePath("lossless-in-place")) : nullptr;

        QProcess pressly;
        pressly.setProcessEnvironment(env);
        pressly.start(PRESSLY_BINARY_DIR "/bin/pressly", {"--watch", "--settle", "0.5", "--json"});
        QByteArray err;
        const auto said = [&](const char* text) {
            return processEventsUntil([&] { return err += pressly.readAllStandardError(), err.contains(text); });
        };
        if (c.exitCode != 143) {
            ASSERT_TRUE(pressly.waitForFinished(20000));
            EXPECT_EQ(pressly.exitCode(), c.exitCode) << pressly.readAllStandardError().toStdString();
            continue;
        }
        ASSERT_TRUE(said("watching")) << err.toStdString();
        if (c.held) {
            ASSERT_TRUE(said("the window watches this folder")) << err.toStdString();
            window.reset();
            ASSERT_TRUE(said("let go of this folder")) << err.toStdString();
        }
        const QByteArray original = readFile(dataFile("png/imagemagick-objects.png"));
        for (const char* name : {"lossless-in-place", "maximum-export"})
            writeFile(dir.filePath(name) + "/imagemagick-objects.png", original);
        QByteArray out;
        ASSERT_TRUE(processEventsUntil([&] { return out += pressly.readAllStandardOutput(), out.count('\n') >= 2; }))
            << err.toStdString();
        ::kill(pid_t(pressly.processId()), SIGTERM);
        ASSERT_TRUE(pressly.waitForFinished(20000));
        EXPECT_EQ(pressly.exitCode(), 143);
        QHash<QString, QString> toolOf;
        for (const QByteArray& line : out.split('\n').mid(0, 2)) {
            const QJsonObject result = QJsonDocument::fromJson(line).object();
            toolOf.insert(QFileInfo(result["file"].toString()).dir().dirName(), result["bestTool"].toString());
        }
        EXPECT_FALSE(toolOf.value("lossless-in-place").contains("pngquant"));
        EXPECT_TRUE(toolOf.value("maximum-export").contains("pngquant"));
        EXPECT_NE(readFile(dir.filePath("lossless-in-place/imagemagick-objects.png")), original);
        EXPECT_EQ(readFile(dir.filePath("maximum-export/imagemagick-objects.png")), original);
        EXPECT_TRUE(QFileInfo::exists(dir.filePath("out/imagemagick-objects.png")));
    }
}
