// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "TestSupport.h"
#include "jobs/Configuration.h"
#include "jobs/JobQueue.h"
#include "jobs/UserPreferences.h"
#include "workers/TemporaryFiles.h"
#include "workers/ToolLocator.h"

#include "core/Outcome.h"

#include <QCoroTask>
#include <QDirIterator>
#include <QStringList>

#include <ostream>

// Readable failure messages.
inline void PrintTo(const QString& text, std::ostream* os)
{
    *os << '"' << text.toStdString() << '"';
}

namespace detail {
template <typename T> QCoro::Task<std::optional<Outcome<T>>> wrapOutcome(QCoro::Task<Outcome<T>> task)
{
    co_return co_await std::move(task);
}
} // namespace detail

// Drives a task to its end (QCoro::waitFor needs a default-constructible result).
template <typename T> Outcome<T> awaitOutcome(QCoro::Task<Outcome<T>> task)
{
    return *QCoro::waitFor(detail::wrapOutcome(std::move(task)));
}

// A private world for tool runs: its own temporary directory (TMPDIR), its
// own resource and system tool folders, the log lines captured, and the
// compression preset put back. None of our files may be left behind in it.
class ToolSandbox : public TestSupport::LogCapture {
public:
    ToolSandbox() : previousTmp_(qgetenv("TMPDIR"))
    {
        for (const char* folder : {"tmp", "res/BundledTools/bin", "res/bin", "sys", "files"})
            QDir(root_.path()).mkpath(QString::fromLatin1(folder));
        qputenv("TMPDIR", tmpDir().toUtf8());
        ToolLocator::overrideResourcesDir(resourcesDir());
        ToolLocator::overrideSystemDirs(QStringList{systemDir()});
    }

    ~ToolSandbox()
    {
        EXPECT_TRUE(leftovers().isEmpty()) << leftovers().join(", ").toStdString();
        if (UserPreferences::shared().compressionPresetRaw() != presetBefore_) // optimizeInPlace sets it
            UserPreferences::shared().setCompressionPresetRaw(presetBefore_);
        ToolLocator::overrideResourcesDir(std::nullopt);
        ToolLocator::overrideSystemDirs(std::nullopt);
        if (previousTmp_.isNull())
            qunsetenv("TMPDIR");
        else
            qputenv("TMPDIR", previousTmp_);
    }

    // The real tools: oxipng bundled in the build's resources, pngquant from the system.
    void useRealTools()
    {
        ToolLocator::overrideResourcesDir(QStringLiteral(PRESSLY_BINARY_DIR "/share/pressly-pro"));
        ToolLocator::overrideSystemDirs(std::nullopt);
    }

    QString tmpDir() const { return QDir(root_.path()).filePath(QStringLiteral("tmp")); }
    QString resourcesDir() const { return QDir(root_.path()).filePath(QStringLiteral("res")); }
    QString bundledDir() const { return resourcesDir() + QStringLiteral("/BundledTools/bin"); }
    QString systemDir() const { return QDir(root_.path()).filePath(QStringLiteral("sys")); }
    // Where a test keeps its input files (outside the temporary directory).
    QString filesDir() const { return QDir(root_.path()).filePath(QStringLiteral("files")); }

    // An executable shell script.
    QString writeScript(const QString& path, const QByteArray& body) const
    {
        TestSupport::writeFile(path, "#!/bin/sh\n" + body + "\n");
        QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        return path;
    }

    // Our files left in the temporary directory, our private folder's included.
    QStringList leftovers() const
    {
        QCoro::waitFor(TemporaryFiles::removalsDone()); // removals run on their own thread
        QStringList names;
        QDirIterator it(tmpDir(), {QStringLiteral("Pressly.*")}, QDir::Files | QDir::Hidden,
                        QDirIterator::Subdirectories);
        while (it.hasNext())
            names.append(QFileInfo(it.next()).fileName());
        return names;
    }

private:
    QTemporaryDir root_;
    QByteArray previousTmp_;
    QString presetBefore_ = UserPreferences::shared().compressionPresetRaw();
};

// One file through a real queue, in place, with `preset` and without the
// results cache; answers its finished job.
inline OptimizationJob::Ptr optimizeInPlace(const QString& path, const QString& preset)
{
    UserPreferences::shared().setCompressionPresetRaw(preset);
    Configuration configuration;
    configuration.setOperationMode(Configuration::OperationMode::optimizeOriginals);
    JobQueue queue(configuration, 1);
    queue.disableResultsCache();
    queue.addFiles({QUrl::fromLocalFile(path)});
    QCoro::waitFor(queue.waitUntilIdle());
    return queue.jobs().front();
}
