#include "TestSupport.h"
#include "jobs/Configuration.h"
#include "jobs/OutputPlacement.h"
#include "jobs/UserPreferences.h"
#include "platform/KeyValueStore.h"
#include "workers/IOFile.h"

#include <gtest/gtest.h>

#include <QProcess>

#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

using namespace TestSupport;
using Mode = Configuration::OperationMode;

namespace {
QString trashDir() { return qEnvironmentVariable("XDG_DATA_HOME") + QStringLiteral("/Trash"); }

QByteArray attribute(const QString& path, const char* name)
{
    char value[256];
    const ssize_t size = ::getxattr(QFile::encodeName(path).constData(), name, value, sizeof value);
    return size < 0 ? QByteArray() : QByteArray(value, int(size));
}

QStringList hiddenTemporaries(const QString& folder)
{
    return QDir(folder).entryList({".Pressly.*"}, QDir::Files | QDir::Hidden);
}

class OutputPlacementTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        KeyValueStore::standard().remove(UserPreferences::exportPathKey);
        QDir().mkpath(dir.filePath("photos"));
        QDir().mkpath(dir.filePath("work"));
        source = copyInto("png/pingus-flag3.png", dir.filePath("photos"), "a.png");
        original = readFile(source);
        optimized = dir.filePath("work/Pressly.optimized.png");
        writeFile(optimized, "smaller bytes");
        configuration.setExportPath({});
    }
    void TearDown() override { KeyValueStore::standard().remove(UserPreferences::exportPathKey); }

    OptimizationJob::Ptr jobFor(const QString& path) { return OptimizationJob::create(QUrl::fromLocalFile(path)); }
    IOFile record() const { return IOFile(QUrl::fromLocalFile(optimized), IOFileType::png, 13); }

    QTemporaryDir dir;
    Configuration configuration;
    QString source;
    QByteArray original;
    QString optimized;
};
} // namespace

TEST_F(OutputPlacementTest, ExportNumbersTakenNamesAndLeavesSourcesAlone)
{
    configuration.setOperationMode(Mode::exportToFolder);
    const QString out = dir.filePath("new/nested/Export");
    configuration.setExportPath(out);
    OutputPlacement placement(configuration);
    auto job = jobFor(source);

    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(placement.placeOutput(*job, record()), std::nullopt);
    EXPECT_EQ(placement.exportOriginalCopy(*job), std::nullopt);

    const QStringList names = QDir(out).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    EXPECT_EQ(names, QStringList({"a (1).png", "a (2).png", "a (3).png", "a.png"}));
    EXPECT_EQ(readFile(out + "/a (2).png"), "smaller bytes");
    EXPECT_EQ(readFile(out + "/a (3).png"), original);
    EXPECT_EQ(readFile(source), original);
    EXPECT_TRUE(QFile::exists(optimized));
    EXPECT_FALSE(job->revertURL());

    // Each candidate comes from the wanted name, not from the one before.
    QFile::remove(out + "/a (1).png");
    const auto unique = [](const QString& path) {
        return OutputPlacement::uniqueDestination(QUrl::fromLocalFile(path)).toLocalFile();
    };
    EXPECT_EQ(unique(out + "/a.png"), out + "/a (1).png");
    writeFile(out + "/README", "x");
    writeFile(out + "/.profile", "x");
    EXPECT_EQ(unique(out + "/README"), out + "/README (1)");
    EXPECT_EQ(unique(out + "/.profile"), out + "/.profile (1)");
    EXPECT_EQ(unique(out + "/free.jpg"), out + "/free.jpg");
    // A dangling link still holds its name.
    ASSERT_TRUE(QFile::link(dir.filePath("nowhere"), out + "/b.jpg"));
    EXPECT_EQ(unique(out + "/b.jpg"), out + "/b (1).jpg");
    // The job learns where its copy went: the freed name.
    std::optional<QUrl> revert, exported;
    EXPECT_EQ(placement.placeOutput(placement.target(), *job, optimized, std::nullopt, &revert, &exported),
              std::nullopt);
    EXPECT_EQ(exported, QUrl::fromLocalFile(out + "/a (1).png"));
}

TEST_F(OutputPlacementTest, ExportFolderComesFromThePreferenceOrIsMissing)
{
    configuration.setOperationMode(Mode::exportToFolder);
    OutputPlacement placement(configuration);
    auto job = jobFor(source);

    auto error = placement.placeOutput(*job, record());
    ASSERT_TRUE(error);
    EXPECT_EQ(error->kind(), OptimizationError::Kind::fileAccessError);
    EXPECT_EQ(error->message(), "No export folder selected. Please choose an export folder in settings.");
    error = placement.exportOriginalCopy(*job);
    ASSERT_TRUE(error);
    EXPECT_EQ(error->kind(), OptimizationError::Kind::fileAccessError);
    EXPECT_EQ(error->message(), "No export folder selected.");

    const QString remembered = dir.filePath("remembered");
    UserPreferences::shared().setExportPath(remembered);
    EXPECT_EQ(placement.placeOutput(*job, record()), std::nullopt);
    EXPECT_EQ(readFile(remembered + "/a.png"), "smaller bytes");
}

TEST_F(OutputPlacementTest, ReplacingKeepsNameAttributesAndAccessAndTrashesTheOriginal)
{
    configuration.setOperationMode(Mode::optimizeOriginals);
    const QByteArray path = QFile::encodeName(source);
    ASSERT_EQ(::chmod(path.constData(), 0640), 0);
    // New files in the folder get an access list; a file made before has none, and keeps none.
    const QString plain = copyInto("png/pingus-flag3.png", dir.filePath("photos"), "plain.png");
    ASSERT_EQ(QProcess::execute("setfacl", {"-d", "-m", "u:4321:rw-", dir.filePath("photos")}), 0);
    // The owning group reads only; one more user may write.
    ASSERT_EQ(QProcess::execute("setfacl", {"-m", "u:1234:rw-", source}), 0);
    const QByteArray acl = attribute(source, "system.posix_acl_access");
    ASSERT_FALSE(acl.isEmpty());
    const std::vector<std::pair<const char*, QByteArray>> attributes = {
        {"user.xdg.tags", "holiday,beach"}, {"user.baloo.rating", "8"}, {"user.pressly.state", "old run"}};
    for (const auto& [name, value] : attributes)
        ASSERT_EQ(::setxattr(path.constData(), name, value.constData(), size_t(value.size()), 0), 0) << name;
    struct stat info {};
    ASSERT_EQ(::stat(path.constData(), &info), 0);
    const mode_t mode = info.st_mode & 07777;
    OutputPlacement placement(configuration);
    auto job = jobFor(source);

    ASSERT_EQ(placement.placeOutput(*job, record()), std::nullopt);
    EXPECT_EQ(readFile(source), "smaller bytes");
    ASSERT_EQ(::stat(path.constData(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, mode);
    EXPECT_EQ(attribute(source, "system.posix_acl_access"), acl);
    EXPECT_EQ(attribute(source, "user.xdg.tags"), "holiday,beach");
    EXPECT_EQ(attribute(source, "user.baloo.rating"), "8");
    EXPECT_EQ(attribute(source, "user.pressly.state"), "") << "our own attributes are never carried over";
    ASSERT_EQ(placement.replaceOriginal(QUrl::fromLocalFile(plain), QUrl::fromLocalFile(optimized)), std::nullopt);
    EXPECT_EQ(attribute(plain, "system.posix_acl_access"), "");
    ASSERT_EQ(::stat(QFile::encodeName(plain).constData(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0644u);
    EXPECT_TRUE(hiddenTemporaries(dir.filePath("photos")).isEmpty());
    EXPECT_TRUE(QFile::exists(optimized));

    ASSERT_TRUE(job->revertURL());
    const QString trashed = job->revertURL()->toLocalFile();
    EXPECT_TRUE(trashed.startsWith(trashDir() + "/files/")) << trashed.toStdString();
    EXPECT_EQ(readFile(trashed), original);
    const QByteArray trashInfo = readFile(trashDir() + "/info/" + QFileInfo(trashed).fileName() + ".trashinfo");
    EXPECT_TRUE(trashInfo.contains("Path=")) << trashInfo.constData();
}

// Failing steps of a replacement are injected in the fault tests; here the result itself is unusable.
TEST_F(OutputPlacementTest, AnUnreadableResultChangesNothing)
{
    int trashCalls = 0;
    OutputPlacement counting(configuration, [&](const QString& path) {
        ++trashCalls;
        return Trash::moveToTrash(path);
    });
    for (const QString& unreadable : {dir.filePath("work/missing.png"), dir.filePath("work")}) {
        const auto error = counting.replaceOriginal(QUrl::fromLocalFile(source), QUrl::fromLocalFile(unreadable));
        ASSERT_TRUE(error);
        EXPECT_TRUE(error->message().contains("a.png")) << error->message().toStdString();
    }
    {
        // A new file would part a file from its other names.
        const QString twin = source + ".twin";
        ASSERT_EQ(::link(QFile::encodeName(source).constData(), QFile::encodeName(twin).constData()), 0);
        const auto error = counting.replaceOriginal(QUrl::fromLocalFile(source), QUrl::fromLocalFile(optimized));
        ASSERT_TRUE(error);
        EXPECT_TRUE(error->message().contains("hard links")) << error->message().toStdString();
        QFile::remove(twin);
    }
    configuration.setOperationMode(Mode::exportToFolder);
    configuration.setExportPath(dir.filePath("out"));
    QFile::remove(optimized);
    const auto error = OutputPlacement(configuration).placeOutput(*jobFor(source), record());
    ASSERT_TRUE(error);
    EXPECT_TRUE(error->message().contains("Pressly.optimized.png")) << error->message().toStdString();
    EXPECT_TRUE(QDir(dir.filePath("out")).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot));
    EXPECT_EQ(trashCalls, 0);
    EXPECT_EQ(readFile(source), original);
    EXPECT_TRUE(hiddenTemporaries(dir.filePath("photos")).isEmpty());
}

TEST_F(OutputPlacementTest, AFileThatTakesThePathMeanwhileIsNeverOverwritten)
{
    OutputPlacement placement(configuration, [&](const QString& path) {
        const auto outcome = Trash::moveToTrash(path);
        writeFile(path, "saved by another program");
        return outcome;
    });
    auto job = jobFor(source);
    const auto error = placement.replaceOriginal(QUrl::fromLocalFile(source), QUrl::fromLocalFile(optimized), job.get());
    ASSERT_TRUE(error);
    EXPECT_TRUE(error->message().contains("Trash")) << error->message().toStdString();
    EXPECT_EQ(readFile(source), "saved by another program");
    EXPECT_TRUE(hiddenTemporaries(dir.filePath("photos")).isEmpty());
}
