#include "FaultChecks.h"
#include "jobs/Configuration.h"
#include "jobs/FileOperations.h"
#include "jobs/OutputPlacement.h"
#include "workers/IOFile.h"

#include <QUuid>

#include <gtest/gtest.h>

#include <cerrno>
#include <unistd.h>

using namespace TestSupport;
using namespace FaultChecks;

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

class PlacementFaults : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder = dir.filePath(QStringLiteral("photos"));
        QDir().mkpath(folder);
        source = copyInto(QStringLiteral("png/debian-debian.png"), folder, QStringLiteral("a.png"));
        original = readFile(source);
        optimized = dir.filePath(QStringLiteral("optimized.png"));
        // Several pieces long, so a fault can strike half-way through writing it.
        writeFile(optimized, readFile(dataFile(QStringLiteral("png/imagemagick-radial-gradient.png"))));
        result = readFile(optimized);
        configuration.setExportPath({});
    }
    void TearDown() override { FileOperations::setFaultHook({}); }

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

TEST_F(PlacementFaults, EveryFailingStepOfAReplacementLeavesTheOriginalInPlace)
{
    const std::vector<Fault> faults = {
        {"create-temp", EACCES}, {"create-temp", EROFS},  {"create-temp", ENOSPC}, {"write-temp", ENOSPC, 2},
        {"write-temp", EIO, 3},  {"write-temp", EFBIG},   {"permissions", EPERM},  {"flush", EIO},
        {"flush", ENOSPC},       {"close-temp", EIO},     {"close-temp", EDQUOT},  {"journal", ENOSPC},
        {"trash", EACCES},
        {"trash", EROFS},        {"trash", EXDEV},        {"rename", EROFS},       {"rename", EIO},
        {"rename", EEXIST},
    };
    for (const Fault& fault : faults) {
        SCOPED_TRACE(::testing::PrintToString(fault));
        QFile::remove(source);
        copyInto(QStringLiteral("png/debian-debian.png"), folder, QStringLiteral("a.png"));
        partWritten = -1;
        inject(fault);
        OutputPlacement placement(configuration);
        auto job = OptimizationJob::create(QUrl::fromLocalFile(source));

        const auto error = placement.replaceOriginal(QUrl::fromLocalFile(source), QUrl::fromLocalFile(optimized),
                                                     job.get());
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

TEST_F(PlacementFaults, WhenTheOriginalCannotComeBackItStaysInTheTrashAndNothingIsHalfWritten)
{
    // The rename fails, and so does every attempt to move the original back.
    FileOperations::setFaultHook([](const char* step, const QString&) {
        return qstrcmp(step, "rename") == 0 || qstrcmp(step, "restore") == 0 ? EIO : 0;
    });
    OutputPlacement placement(configuration);
    const auto error = placement.replaceOriginal(QUrl::fromLocalFile(source), QUrl::fromLocalFile(optimized));
    ASSERT_TRUE(error);
    EXPECT_TRUE(error->message().contains(QStringLiteral("in the Trash"))) << error->message().toStdString();
    EXPECT_TRUE(nothingLost(trash(), {source, original, {}, true}));
    EXPECT_FALSE(QFileInfo::exists(source));
    EXPECT_TRUE(hiddenLeftovers(folder).isEmpty());

    // A lost flush of the folder after the rename is no failure: the file is complete.
    FileOperations::setFaultHook([](const char* step, const QString&) { return qstrcmp(step, "sync-folder") ? 0 : EIO; });
    const QString second = copyInto(QStringLiteral("png/debian-debian.png"), folder, QStringLiteral("b.png"));
    EXPECT_EQ(placement.replaceOriginal(QUrl::fromLocalFile(second), QUrl::fromLocalFile(optimized)), std::nullopt);
    EXPECT_TRUE(nothingLost(trash(), {second, original, result}));
    EXPECT_EQ(readFile(second), result);
}

TEST_F(PlacementFaults, ExportCopiesNeverLeaveAPartialFileUnderTheWantedName)
{
    configuration.setOperationMode(Configuration::OperationMode::exportToFolder);
    const QString out = dir.filePath(QStringLiteral("export"));
    configuration.setExportPath(out);
    const std::vector<Fault> faults = {
        {"mkdir", EACCES},  {"mkdir", EROFS},       {"create-copy", EROFS}, {"create-copy", EACCES},
        {"copy", ENOSPC, 2}, {"copy", EIO},          {"flush", EIO},         {"close-copy", EDQUOT},
        {"rename", EIO},    {"rename", EROFS},
    };
    const QByteArray big = original;
    writeFile(optimized, big.left(big.size() - 100)); // several pieces long
    for (const Fault& fault : faults) {
        SCOPED_TRACE(::testing::PrintToString(fault));
        partWritten = -1;
        inject(fault);
        OutputPlacement placement(configuration);
        auto job = OptimizationJob::create(QUrl::fromLocalFile(source));
        const IOFile record(QUrl::fromLocalFile(optimized), IOFileType::png, big.size() - 100);
        EXPECT_TRUE(placement.placeOutput(*job, record));
        inject(fault);
        EXPECT_TRUE(placement.exportOriginalCopy(*job));
        EXPECT_TRUE(everything(out).isEmpty()) << everything(out).join(", ").toStdString();
        EXPECT_EQ(readFile(source), original);
        if (fault.occurrence > 1) {
            EXPECT_GT(partWritten, 0);
        }
        FileOperations::setFaultHook({});
    }

    // A folder below a file stops even root.
    writeFile(dir.filePath(QStringLiteral("a-file")), "x");
    configuration.setExportPath(dir.filePath(QStringLiteral("a-file/export")));
    OutputPlacement placement(configuration);
    auto job = OptimizationJob::create(QUrl::fromLocalFile(source));
    EXPECT_TRUE(placement.exportOriginalCopy(*job));
    EXPECT_EQ(readFile(dir.filePath(QStringLiteral("a-file"))), "x");
    EXPECT_EQ(readFile(source), original);
}

TEST_F(PlacementFaults, AnExportNameTakenWhileCopyingMovesOnToTheNextFreeName)
{
    // Another job exports a file of the same name between the look and the rename.
    const QString out = dir.filePath(QStringLiteral("out"));
    configuration.setExportPath(out);
    FileOperations::setFaultHook([&](const char* step, const QString&) {
        if (qstrcmp(step, "create-copy") == 0 && !QFile::exists(out + "/a.png"))
            writeFile(out + "/a.png", "theirs");
        return 0;
    });
    OutputPlacement placement(configuration);
    auto job = OptimizationJob::create(QUrl::fromLocalFile(source));
    const IOFile record(QUrl::fromLocalFile(optimized), IOFileType::png, result.size());
    EXPECT_EQ(placement.placeOutput(*job, record), std::nullopt);
    EXPECT_EQ(readFile(out + "/a.png"), "theirs");
    EXPECT_EQ(readFile(out + "/a (1).png"), result);
}

TEST_F(PlacementFaults, AnUnusableTrashLeavesTheOriginalWhereItWas)
{
    // The data folder lies below a file: no Trash can be made there, not even by root.
    const QByteArray previous = qgetenv("XDG_DATA_HOME");
    writeFile(dir.filePath(QStringLiteral("not-a-folder")), "x");
    qputenv("XDG_DATA_HOME", dir.filePath(QStringLiteral("not-a-folder/data")).toUtf8());
    const QString cwd = QDir::currentPath();
    QDir::setCurrent(dir.path());
    OutputPlacement placement(configuration);
    const auto error = placement.replaceOriginal(QUrl::fromLocalFile(source), QUrl::fromLocalFile(optimized));
    QDir::setCurrent(cwd);
    qputenv("XDG_DATA_HOME", previous);

    if (!error) {
        // Some platforms find another Trash; the original must be there.
        EXPECT_EQ(readFile(source), result);
        return;
    }
    EXPECT_EQ(readFile(source), original);
    EXPECT_TRUE(hiddenLeftovers(folder).isEmpty());
    EXPECT_FALSE(QFileInfo::exists(dir.filePath(QStringLiteral("files")))) << "nothing trashed into the working folder";
}
