// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ToolSandbox.h"
#include "jobs/OptimizationJob.h"
#include "workers/IOFile.h"
#include "workers/JobWorkingFiles.h"
#include "workers/WorkingFilesManager.h"

#include <QUrl>
#include <QtEndian>

#include <vector>

// PNG bytes built by hand, for inputs no tool would write.
namespace PngBytes {
inline QByteArray bigEndian(quint32 value)
{
    value = qToBigEndian(value);
    return QByteArray(reinterpret_cast<const char*>(&value), 4);
}
inline QByteArray chunk(const QByteArray& type, const QByteArray& data)
{
    quint32 crc = 0xFFFFFFFFu;
    for (char c : type + data) {
        crc ^= quint8(c);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return bigEndian(quint32(data.size())) + type + data + bigEndian(~crc);
}
// A real PNG with an eXIf chunk saying Orientation = 6 (turn 90° clockwise to show).
inline QByteArray withOrientation6()
{
    // Little-endian TIFF, one directory at 8 with one entry: tag 0x0112 (Orientation), SHORT, 1 value, 6.
    const QByteArray tiff = QByteArray("II*\0", 4)
                            + QByteArray::fromHex("08000000010012010300010000000600000000000000");
    const QByteArray source = TestSupport::readFile(TestSupport::dataFile("png/debian-debian.png"));
    return source.left(33) + chunk("eXIf", tiff) + source.mid(33);
}
} // namespace PngBytes

// What the worker tests share: a tool sandbox, inputs copied into it, jobs
// whose working files are released at the end, and nothing left behind.
class WorkerFixture : public ::testing::Test {
protected:
    void TearDown() override
    {
        for (const auto& job : jobs)
            WorkingFilesManager::shared().releaseJob(JobWorkingFiles::key(*job));
    }

    IOFile::Ptr input(const QString& relative)
    {
        return IOFile::read(QUrl::fromLocalFile(TestSupport::copyInto(relative, sandbox.filesDir())));
    }
    QUrl output(const QString& name) const { return QUrl::fromLocalFile(sandbox.filesDir() + QLatin1Char('/') + name); }
    // A job for a copy of a test-data file.
    OptimizationJob::Ptr jobFor(const QString& relative)
    {
        return jobAt(TestSupport::copyInto(relative, sandbox.filesDir()));
    }
    OptimizationJob::Ptr jobAt(const QString& path)
    {
        auto job = OptimizationJob::create(QUrl::fromLocalFile(path));
        jobs.push_back(job);
        return job;
    }
    ToolSandbox sandbox;
    std::vector<OptimizationJob::Ptr> jobs;
};
