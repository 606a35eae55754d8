#include "TestSupport.h"
#include "dng/DngSampleWriter.h"
#include "platform/RawImageComparison.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <libraw/libraw.h>

#include <gtest/gtest.h>

using namespace TestSupport;

namespace {

int thumbnailWidth(const QString& path)
{
    libraw_data_t* raw = libraw_init(0);
    const int width = libraw_open_file(raw, path.toLocal8Bit().constData()) == LIBRAW_SUCCESS ? raw->thumbnail.twidth : -1;
    libraw_close(raw);
    return width;
}

// `pressly --in-place` over a folder of DNGs, with its home, settings, data
// and temporary folders inside `root`.
int pressly(const QString& root, const QString& preset)
{
    for (const char* dir : {"home", "config", "data", "tmp"})
        QDir(root).mkpath(QString::fromLatin1(dir));
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("HOME", root + "/home");
    env.insert("XDG_CONFIG_HOME", root + "/config");
    env.insert("XDG_DATA_HOME", root + "/data");
    env.insert("TMPDIR", root + "/tmp");
    QProcess process;
    process.setProcessEnvironment(env);
    process.start(QStringLiteral(PRESSLY_BINARY_DIR "/bin/pressly"), {"--in-place", "--preset", preset, root + "/in"});
    process.waitForFinished(300000);
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}

} // namespace

TEST(DngInPlace, RawFilesShrinkVerifiedWithTheOriginalsInTheTrashAndPreviewsOnlyGoUnderMaximum)
{
    for (const QString preset : {"maximum", "balanced"}) {
        SCOPED_TRACE(qPrintable(preset));
        QTemporaryDir root;
        QDir(root.path()).mkpath("in");
        const QStringList names{"a.dng", "b.dng"};
        for (int i = 0; i < names.size(); ++i) {
            DngSample sample;
            sample.width = 900 + i;
            sample.height = 600;
            sample.bits = uint16_t(12 + 2 * i);
            sample.preview = true;
            sample.seed = uint32_t(i + 7);
            ASSERT_TRUE(DngSampleWriter::write(root.path() + "/in/" + names[i], sample));
        }
        ASSERT_EQ(pressly(root.path(), preset), 0);
        for (const QString& name : names) {
            const QString now = root.path() + "/in/" + name;
            const QString trashed = root.path() + "/data/Trash/files/" + name;
            ASSERT_TRUE(QFileInfo::exists(trashed)) << qPrintable(name);
            EXPECT_LT(QFileInfo(now).size(), QFileInfo(trashed).size() * 8 / 10);
            EXPECT_EQ(RawImageComparison::difference(trashed, now), std::nullopt);
            EXPECT_EQ(thumbnailWidth(now), preset == "maximum" ? 0 : thumbnailWidth(trashed));
        }
    }
}
