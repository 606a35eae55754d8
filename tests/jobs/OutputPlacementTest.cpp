// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "jobs/OutputPlacement.h"
#include "faults/FaultChecks.h"
#include "jobs/Configuration.h"
#include "jobs/FileOperations.h"
#include "jobs/UserPreferences.h"
#include "platform/KeyValueStore.h"
#include "workers/IOFile.h"

#include <cerrno>
#include <sys/xattr.h>
#include <unistd.h>

using namespace TestSupport;
using namespace FaultChecks;
using Mode = Configuration::OperationMode;

namespace {

// Makes the n-th time a step is reached fail with `error`.
struct Fault {
    const char* step;
    int error;
    int occurrence = 1;
};

std::ostream& operator<<(std::ostream& os, const Fault& f)
{
    return os << f.step << "#" << f.occurrence << " errno " << f.error;
}

QByteArray attribute(const QString& path, const char* name)
{
    char value[256];
    const ssize_t size = ::getxattr(QFile::encodeName(path).constData(), name, value, sizeof value);
    return size < 0 ? QByteArray() : QByteArray(value, int(size));
}

class OutputPlacementTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        KeyValueStore::standard().remove(UserPreferences::exportPathKey);
        folder = dir.filePath(QStringLiteral("photos"));
        QDir().mkpath(folder);
        source = copyInto(QStringLiteral("png/debian-debian.png"), folder, QStringLiteral("a.png"));
        original = readFile(source);
        optimized = dir.filePath(QStringLiteral("Pressly.optimized.png"));
        // Several pieces long, so a fault can strike half-way through writing it.
        writeFile(optimized, readFile(dataFile(QStringLiteral("png/imagemagick-radial-gradient.png"))));
        result = readFile(optimized);
        configuration.setExportPath({});
    }
    void TearDown() override
    {
        FileOperations::setFaultHook({});
        KeyValueStore::standard().remove(UserPreferences::exportPathKey);
    }

    void inject(const Fault& fault)
    {
        auto seen = std::make_shared<int>(0);
        FileOperations::setFaultHook([fault, seen, this](const char* step, const QString& path) {
            if (qstrcmp(step, fault.step) != 0 || ++*seen != fault.occurrence)
                return 0;
            ++faultsInjected;
            if (qstrcmp(step, "write-temp") == 0 || qstrcmp(step, "copy") == 0)
                partWritten = QFileInfo(path).size();
            return fault.error;
        });
    }

    OptimizationJob::Ptr job() const { return OptimizationJob::create(QUrl::fromLocalFile(source)); }
    IOFile record() const { return IOFile(QUrl::fromLocalFile(optimized), IOFileType::png, result.size()); }
    std::optional<OptimizationError> replace(OutputPlacement& placement, OptimizationJob* forJob = nullptr) const
    {
        return placement.replaceOriginal(QUrl::fromLocalFile(source), QUrl::fromLocalFile(optimized), forJob);
    }
    QString trash() const { return trashOf(qEnvironmentVariable("XDG_DATA_HOME")); }

    QTemporaryDir dir;
    Configuration configuration;
    QString folder;
    QString source;
    QString optimized;
    QByteArray original;
    QByteArray result;
    int faultsInjected = 0;
    qint64 partWritten = -1;
};

} // namespace

TEST_F(OutputPlacementTest, ExportNumbersTakenNamesAndLeavesSourcesAlone)
{
    configuration.setOperationMode(Mode::exportToFolder);
    const QString out = dir.filePath("new/nested/Export");
    configuration.setExportPath(out);
    OutputPlacement placement(configuration);
    auto job = this->job();

    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(placement.placeOutput(*job, record()), std::nullopt);
    EXPECT_EQ(placement.exportOriginalCopy(*job), std::nullopt);
    EXPECT_EQ(everything(out), QStringList({"a (1).png", "a (2).png", "a (3).png", "a.png"}));
    EXPECT_EQ(readFile(out + "/a (2).png"), result);
    EXPECT_EQ(readFile(out + "/a (3).png"), original);
    EXPECT_EQ(readFile(source), original);
    EXPECT_TRUE(QFile::exists(optimized));
    EXPECT_FALSE(job->revertURL());

    // Each candidate comes from the wanted name, not from the one before; a dangling link holds its name.
    QFile::remove(out + "/a (1).png");
    writeFile(out + "/README", "x");
    writeFile(out + "/.profile", "x");
    ASSERT_TRUE(QFile::link(dir.filePath("nowhere"), out + "/b.jpg"));
    // A name of 253 bytes makes room for its number, cutting whole characters.
    const QString longStem = QString(124, QChar(0xE9)) + "x";
    writeFile(out + '/' + longStem + ".png", "x");
    for (const auto& [wanted, given] : {std::pair<QString, QString>{"a.png", "a (1).png"},
                                        {"README", "README (1)"},
                                        {".profile", ".profile (1)"},
                                        {"free.jpg", "free.jpg"},
                                        {"b.jpg", "b (1).jpg"},
                                        {longStem + ".png", longStem.left(123) + " (1).png"}})
        EXPECT_EQ(OutputPlacement::uniqueDestination(QUrl::fromLocalFile(out + '/' + wanted)).toLocalFile(),
                  out + '/' + given);
    // The job learns where its copy went: the freed name.
    std::optional<QUrl> revert, exported;
    EXPECT_EQ(placement.placeOutput(placement.target(), *job, optimized, std::nullopt, &revert, &exported),
              std::nullopt);
    EXPECT_EQ(exported, QUrl::fromLocalFile(out + "/a (1).png"));

    // Another job exports a file of the same name between the look and the rename.
    FileOperations::setFaultHook([&](const char* step, const QString&) {
        if (qstrcmp(step, "create-copy") == 0 && !QFile::exists(out + "/c.png"))
            writeFile(out + "/c.png", "theirs");
        return 0;
    });
    EXPECT_EQ(
        placement.placeOutput(
            *OptimizationJob::create(QUrl::fromLocalFile(copyInto("png/pingus-flag3.png", folder, "c.png"))), record()),
        std::nullopt);
    EXPECT_EQ(readFile(out + "/c.png"), "theirs");
    EXPECT_EQ(readFile(out + "/c (1).png"), result);
}

TEST_F(OutputPlacementTest, ExportFolderComesFromThePreferenceOrIsMissing)
{
    configuration.setOperationMode(Mode::exportToFolder);
    OutputPlacement placement(configuration);
    auto job = this->job();
    EXPECT_EQ(placement.placeOutput(*job, record()),
              OptimizationError::fileAccess("No export folder selected. Please choose an export folder in settings."));
    EXPECT_EQ(placement.exportOriginalCopy(*job), OptimizationError::fileAccess("No export folder selected."));

    const QString remembered = dir.filePath("remembered");
    UserPreferences::shared().setExportPath(remembered);
    EXPECT_EQ(placement.placeOutput(*job, record()), std::nullopt);
    EXPECT_EQ(readFile(remembered + "/a.png"), result);
}

TEST_F(OutputPlacementTest, ReplacingKeepsNameAttributesAndAccessAndTrashesTheOriginal)
{
    configuration.setOperationMode(Mode::optimizeOriginals);
    const QByteArray path = QFile::encodeName(source);
    ASSERT_EQ(::chmod(path.constData(), 0640), 0);
    // New files in the folder get an access list; a file made before has none, and keeps none.
    const QString plain = copyInto("png/pingus-flag3.png", folder, "plain.png");
    ASSERT_TRUE(QFile::setPermissions(plain, QFileDevice::ReadOwner | QFileDevice::WriteOwner)); // private
    ASSERT_EQ(QProcess::execute("setfacl", {"-d", "-m", "u:4321:rw-", folder}), 0);
    // The owning group reads only; one more user may write.
    ASSERT_EQ(QProcess::execute("setfacl", {"-m", "u:1234:rw-", source}), 0);
    const QByteArray acl = attribute(source, "system.posix_acl_access");
    ASSERT_FALSE(acl.isEmpty());
    const std::vector<std::pair<const char*, QByteArray>> attributes = {
        {"user.xdg.tags", "holiday,beach"}, {"user.baloo.rating", "8"}, {"user.pressly.state", "old run"}};
    for (const auto& [name, value] : attributes)
        ASSERT_EQ(::setxattr(path.constData(), name, value.constData(), size_t(value.size()), 0), 0) << name;
    const int mode = modeOf(source);
    OutputPlacement placement(configuration);
    auto job = this->job();

    ASSERT_EQ(placement.placeOutput(*job, record()), std::nullopt);
    EXPECT_EQ(readFile(source), result);
    EXPECT_EQ(modeOf(source), mode);
    EXPECT_EQ(attribute(source, "system.posix_acl_access"), acl);
    for (const auto& [name, value] : attributes) // our own are never carried over
        EXPECT_EQ(attribute(source, name), qstrcmp(name, "user.pressly.state") ? value : "") << name;
    ASSERT_EQ(placement.replaceOriginal(QUrl::fromLocalFile(plain), QUrl::fromLocalFile(optimized)), std::nullopt);
    EXPECT_EQ(attribute(plain, "system.posix_acl_access"), "");
    EXPECT_EQ(modeOf(plain), 0600);
    EXPECT_TRUE(hiddenLeftovers(folder).isEmpty());
    EXPECT_TRUE(QFile::exists(optimized));

    ASSERT_TRUE(job->revertURL());
    const QString trashed = job->revertURL()->toLocalFile();
    EXPECT_EQ(trashed, trashedCopy(trash(), source, original)) << "restore information names its path";
}

TEST_F(OutputPlacementTest, AnUnusableResultChangesNothing)
{
    int trashCalls = 0;
    OutputPlacement counting(configuration, [&](const QString& path) {
        ++trashCalls;
        return Trash::moveToTrash(path);
    });
    const auto refused = [&](const QString& unusable, const char* reason) {
        const auto error = counting.replaceOriginal(QUrl::fromLocalFile(source), QUrl::fromLocalFile(unusable));
        EXPECT_TRUE(error && error->message().contains(reason)) << (error ? error->message().toStdString() : "");
    };
    refused(dir.filePath("missing.png"), "a.png");
    refused(dir.path(), "a.png");
    // A new file would part a file from its other names.
    const QByteArray twin = QFile::encodeName(source + ".twin");
    ASSERT_EQ(::link(QFile::encodeName(source).constData(), twin.constData()), 0);
    refused(optimized, "hard links");
    ::unlink(twin.constData());
    configuration.setOperationMode(Mode::exportToFolder);
    configuration.setExportPath(dir.filePath("out"));
    QFile::remove(optimized);
    const auto error = OutputPlacement(configuration).placeOutput(*job(), record());
    ASSERT_TRUE(error);
    EXPECT_TRUE(error->message().contains("“a.png”")) << error->message().toStdString();
    EXPECT_TRUE(everything(dir.filePath("out")).isEmpty());
    EXPECT_EQ(trashCalls, 0);
    EXPECT_EQ(readFile(source), original);
    EXPECT_TRUE(hiddenLeftovers(folder).isEmpty());
}

TEST_F(OutputPlacementTest, EveryFailingStepOfAReplacementLeavesTheOriginalInPlace)
{
    const std::vector<Fault> faults = {
        {"create-temp", EACCES}, {"create-temp", EROFS}, {"create-temp", ENOSPC}, {"write-temp", ENOSPC, 2},
        {"write-temp", EIO, 3},  {"write-temp", EFBIG},  {"permissions", EPERM},  {"flush", EIO},
        {"flush", ENOSPC},       {"close-temp", EIO},    {"close-temp", EDQUOT},  {"journal", ENOSPC},
        {"trash", EACCES},       {"trash", EROFS},       {"trash", EXDEV},        {"rename", EROFS},
        {"rename", EIO},         {"rename", EEXIST},
    };
    for (const Fault& fault : faults) {
        SCOPED_TRACE(::testing::PrintToString(fault));
        QFile::remove(source);
        copyInto(QStringLiteral("png/debian-debian.png"), folder, QStringLiteral("a.png"));
        partWritten = -1;
        inject(fault);
        OutputPlacement placement(configuration);
        auto job = this->job();

        const auto error = replace(placement, job.get());
        ASSERT_TRUE(error);
        EXPECT_TRUE(error->message().contains(QStringLiteral("a.png"))) << error->message().toStdString();
        EXPECT_EQ(readFile(source), original);
        EXPECT_TRUE(trashedCopy(trash(), source, original).isEmpty()) << "the original came back out of the Trash";
        EXPECT_TRUE(hiddenLeftovers(folder).isEmpty());
        EXPECT_FALSE(job->revertURL());
        if (qstrcmp(fault.step, "write-temp") == 0 && fault.occurrence > 1) {
            EXPECT_GT(partWritten, 0) << "the disk filled up half-way through";
        }
    }
    EXPECT_EQ(faultsInjected, int(faults.size()));
    EXPECT_EQ(readFile(optimized), result) << "the result is never consumed";
}

TEST_F(OutputPlacementTest, WhenTheOriginalCannotComeBackItStaysInTheTrashAndNothingIsHalfWritten)
{
    // The rename fails, and so does every attempt to move the original back.
    FileOperations::setFaultHook([](const char* step, const QString&) {
        return qstrcmp(step, "rename") == 0 || qstrcmp(step, "restore") == 0 ? EIO : 0;
    });
    OutputPlacement placement(configuration);
    const auto error = replace(placement);
    ASSERT_TRUE(error);
    EXPECT_TRUE(error->message().contains(QStringLiteral("in the Trash"))) << error->message().toStdString();
    EXPECT_TRUE(nothingLost(trash(), {source, original, {}, true}));
    EXPECT_FALSE(QFileInfo::exists(source));
    EXPECT_TRUE(hiddenLeftovers(folder).isEmpty());

    // A lost flush of the folder after the rename is no failure: the file is complete.
    FileOperations::setFaultHook(
        [](const char* step, const QString&) { return qstrcmp(step, "sync-folder") ? 0 : EIO; });
    copyInto(QStringLiteral("png/debian-debian.png"), folder, QStringLiteral("a.png"));
    EXPECT_EQ(replace(placement), std::nullopt);
    EXPECT_TRUE(nothingLost(trash(), {source, original, result}));
    EXPECT_EQ(readFile(source), result);
}

TEST_F(OutputPlacementTest, ExportCopiesNeverLeaveAPartialFileUnderTheWantedName)
{
    configuration.setOperationMode(Mode::exportToFolder);
    const QString out = dir.filePath(QStringLiteral("export"));
    configuration.setExportPath(out);
    const std::vector<Fault> faults = {
        {"mkdir", EACCES}, {"mkdir", EROFS}, {"create-copy", EROFS}, {"create-copy", EACCES}, {"copy", ENOSPC, 2},
        {"copy", EIO},     {"flush", EIO},   {"close-copy", EDQUOT}, {"rename", EIO},         {"rename", EROFS},
    };
    for (const Fault& fault : faults) {
        SCOPED_TRACE(::testing::PrintToString(fault));
        partWritten = -1;
        inject(fault);
        OutputPlacement placement(configuration);
        auto job = this->job();
        const auto error = placement.placeOutput(*job, record());
        ASSERT_TRUE(error);
        // The user's file is named, never our working file.
        EXPECT_FALSE(error->message().contains("Pressly.optimized")) << error->message().toStdString();
        inject(fault);
        EXPECT_TRUE(placement.exportOriginalCopy(*job));
        EXPECT_TRUE(everything(out).isEmpty()) << everything(out).join(", ").toStdString();
        EXPECT_EQ(readFile(source), original);
        if (fault.occurrence > 1) {
            EXPECT_GT(partWritten, 0);
        }
    }
    FileOperations::setFaultHook({});

    // A folder below a file stops even root.
    writeFile(dir.filePath(QStringLiteral("a-file")), "x");
    configuration.setExportPath(dir.filePath(QStringLiteral("a-file/export")));
    EXPECT_TRUE(OutputPlacement(configuration).exportOriginalCopy(*job()));
    EXPECT_EQ(readFile(dir.filePath(QStringLiteral("a-file"))), "x");
    EXPECT_EQ(readFile(source), original);
}
