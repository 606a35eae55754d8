#pragma once

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <functional>

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

inline QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Runs the event loop until `done` holds or the time runs out.
inline bool processEventsUntil(const std::function<bool()>& done, int milliseconds = 10000)
{
    QDeadlineTimer deadline(milliseconds);
    while (!done()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}

// Lets queued calls run.
inline void drainEvents()
{
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents(QEventLoop::AllEvents);
}

} // namespace TestSupport
