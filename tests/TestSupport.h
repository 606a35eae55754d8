// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/Log.h"
#include "workers/SvgcleanerServer.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <QtEndian>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <sys/stat.h>

// Helpers shared by the tests.
namespace TestSupport {

// A file of the shipped test data, e.g. dataFile("png/pingus-flag3.png").
inline QString dataFile(const QString& relative)
{
    return QStringLiteral(PRESSLY_TEST_DATA) + QLatin1Char('/') + relative;
}

// Copies a test-data file into `dir` (tests never change the shipped files)
// and answers the copy's path.
inline QString copyInto(const QString& relative, const QString& dir, const QString& asName = {})
{
    const QString name = asName.isEmpty() ? QFileInfo(relative).fileName() : asName;
    const QString target = QDir(dir).filePath(name);
    QFile::remove(target);
    QFile::copy(dataFile(relative), target);
    QFile(target).setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup
                                 | QFileDevice::ReadOther);
    return target;
}

inline void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    file.open(QIODevice::WriteOnly | QIODevice::Truncate);
    file.write(bytes);
}

inline void appendFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    file.open(QIODevice::Append);
    file.write(bytes);
}

// A file's permission bits; -1 when it cannot be looked at.
inline int modeOf(const QString& path)
{
    struct stat info { };
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? int(info.st_mode & 07777) : -1;
}

inline QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The shipped JPEG with its header claiming another size: a few kilobytes
// that a decoder would allocate the claimed size for.
inline QByteArray jpegClaiming(quint16 width, quint16 height)
{
    QByteArray jpeg = readFile(dataFile("jpeg/pingus-clouds.jpg"));
    for (qsizetype at = 2; at + 9 < jpeg.size();) {
        const auto marker = quint8(jpeg[at + 1]);
        if (marker >= 0xC0 && marker <= 0xC2) {
            qToBigEndian(height, jpeg.data() + at + 5);
            qToBigEndian(width, jpeg.data() + at + 7);
            break;
        }
        at += 2 + qFromBigEndian<quint16>(jpeg.constData() + at + 2);
    }
    return jpeg;
}

// Runs the event loop until `done` holds or the time runs out. The loop sleeps between events: a loop that
// spun took the cores from the tools the test waits for. The tick wakes it for what no event announces.
inline bool processEventsUntil(const std::function<bool()>& done, int milliseconds = 10000)
{
    QDeadlineTimer deadline(milliseconds);
    QTimer tick;
    tick.start(5);
    while (!done()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    }
    return true;
}

// Lets queued calls run.
inline void drainEvents()
{
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents(QEventLoop::AllEvents);
}

struct RunResult {
    int exitCode = -1; // -1: killed or never finished
    QString out;
    QString err;
};

// Runs a program to its end.
inline RunResult run(const QString& program, const QStringList& arguments,
                     const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment(),
                     int milliseconds = 120000)
{
    QProcess process;
    process.setProcessEnvironment(env);
    process.start(program, arguments);
    process.waitForFinished(milliseconds);
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAllStandardOutput()), QString::fromUtf8(process.readAllStandardError())};
}

// An environment whose home, settings, data and temporary folders all lie in `root`.
inline QProcessEnvironment privateEnvironment(const QString& root)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const auto& [variable, name] :
         {std::pair{"HOME", "home"}, {"XDG_CONFIG_HOME", "config"}, {"XDG_DATA_HOME", "data"}, {"TMPDIR", "tmp"}}) {
        QDir(root).mkpath(QString::fromLatin1(name));
        env.insert(QString::fromLatin1(variable), QDir(root).filePath(QString::fromLatin1(name)));
    }
    // The programs speak English here, whatever the desktop's language.
    env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    env.remove(QStringLiteral("LANGUAGE"));
    return env;
}

// A process id that no process has now: a child that has ended.
inline qint64 deadPid()
{
    QProcess process;
    process.start(QStringLiteral("/bin/true"));
    process.waitForStarted();
    const qint64 pid = process.processId();
    process.waitForFinished();
    return pid;
}

// The svgcleaner adapter as a batch runs it, through its server: svgo loads once for every file cleaned here.
struct SvgCleaner {
    bool clean(const QString& source, const QString& cleaned, bool multipass, bool precise)
    {
        const auto answer = QCoro::waitFor(server->clean(source, cleaned, multipass, precise, std::chrono::minutes(1)));
        return answer && answer->status == 0;
    }
    std::shared_ptr<SvgcleanerServer> server = std::make_shared<SvgcleanerServer>(
        SvgcleanerServer::scriptFor(PRESSLY_BINARY_DIR "/share/pressly-pro/BundledTools/bin/svgcleaner"), 1);
};

// The log lines of every level written while it lives. A front end's sink
// draws on the event-loop thread, so lines must arrive there.
class LogCapture {
public:
    LogCapture()
    {
        QLoggingCategory::setFilterRules(QStringLiteral("pressly.*=true"));
        Log::setSink([this](QtMsgType, const QString& line) {
            lines_ << line;
            offThread_ += QThread::currentThread() != QCoreApplication::instance()->thread();
        });
    }
    ~LogCapture()
    {
        Log::setSink({});
        QLoggingCategory::setFilterRules({});
        EXPECT_EQ(offThread_, 0) << "lines reached the sink on another thread";
    }
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    // Lines written on pool threads arrive as posted events.
    QStringList lines() const
    {
        QCoreApplication::sendPostedEvents();
        return lines_;
    }
    bool logged(const QString& text) const
    {
        const QStringList all = lines();
        return std::any_of(all.begin(), all.end(), [&](const QString& line) { return line.contains(text); });
    }
    void clear() { lines_.clear(); }

private:
    QStringList lines_;
    int offThread_ = 0;
};

} // namespace TestSupport
