// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
// libvips first: glib names a member "signals", which Qt defines as a keyword.
#include <vips/vips8>

#include "FaultChecks.h"
#include "platform/ImageIO.h"
#include "workers/JobWorkingFiles.h"
#include "workers/ToolSandbox.h"

using namespace TestSupport;
using namespace FaultChecks;

namespace {

// Finds a stand-in's input and output in its arguments as $in and $out.
const QByteArray findFiles = "out=''; prev=''\n"
                             "for a in \"$@\"; do\n"
                             "  if [ \"$prev\" = --out ] || [ \"$prev\" = --output ]; then out=\"$a\"; fi\n"
                             "  prev=\"$a\"; in=\"$a\"\n"
                             "done\n";

class ToolFaults : public ::testing::Test {
protected:
    void SetUp() override
    {
        const QString source = dataFile(QStringLiteral("png/debian-debian.png"));
        original = readFile(source);
        // A real image of the same size that shows something else.
        different = QDir(sandbox.filesDir()).filePath(QStringLiteral("different.png"));
        ASSERT_TRUE(ImageIO::decodedSize(source));
        vips::VImage image = vips::VImage::new_from_file(source.toUtf8().constData());
        image = image.extract_band(0, vips::VImage::option()->set("n", 3)).invert().cast(VIPS_FORMAT_UCHAR);
        image.pngsave(different.toUtf8().constData(), vips::VImage::option()->set("compression", 9));
        ASSERT_LT(QFileInfo(different).size(), original.size());
    }

    void standIns(const QByteArray& pngquant, const QByteArray& oxipng)
    {
        sandbox.writeScript(sandbox.bundledDir() + QStringLiteral("/pngquant"), findFiles + pngquant);
        sandbox.writeScript(sandbox.bundledDir() + QStringLiteral("/oxipng"), findFiles + oxipng);
    }

    ToolSandbox sandbox;
    QByteArray original;
    QString different;
    int filesAtRisk = 0;
};

} // namespace

TEST_F(ToolFaults, NoMisbehavingToolCostsAnOriginal)
{
    const QByteArray differentPath = QFile::encodeName(different);
    // What a misbehaving pngquant and oxipng do.
    const std::vector<std::pair<const char*, QByteArray>> misbehaviours = {
        {"crashes", "kill -9 $$"},
        {"hangs a while", "sleep 0.2; exit 0"},
        {"writes nothing", "exit 0"},
        {"writes an empty file", ": > \"$out\"; exit 0"},
        {"writes a truncated image", "head -c 700 \"$in\" > \"$out\"; exit 0"},
        {"writes garbage", "printf 'not an image at all' > \"$out\"; exit 0"},
        {"writes another image", "cp '" + differentPath + "' \"$out\"; exit 0"},
        {"deletes its input", "rm -f \"$in\"; exit 0"},
        {"deletes its input after a good-looking result", "cp '" + differentPath + "' \"$out\"; rm -f \"$in\"; exit 0"},
        {"overwrites its input", "printf 'overwritten' > \"$in\"; exit 0"},
    };
    for (const auto& [name, script] : misbehaviours) {
        standIns(script, script);
        for (const QString& preset : {QStringLiteral("balanced"), QStringLiteral("lossless")}) {
            for (const auto mode :
                 {Configuration::OperationMode::optimizeOriginals, Configuration::OperationMode::exportToFolder}) {
                SCOPED_TRACE(std::string(name) + ", " + preset.toStdString()
                             + (mode == Configuration::OperationMode::exportToFolder ? ", export" : ", in place"));
                UserPreferences::shared().setCompressionPresetRaw(preset);
                QTemporaryDir work;
                const QString exportFolder = work.filePath(QStringLiteral("export"));
                Configuration configuration;
                configuration.setOperationMode(mode);
                configuration.setExportPath(exportFolder);
                QList<QUrl> files;
                for (const QString& name : {QStringLiteral("a.png"), QStringLiteral("b c.png")})
                    files << QUrl::fromLocalFile(copyInto(QStringLiteral("png/debian-debian.png"), work.path(), name));
                filesAtRisk += int(files.size());

                JobQueue queue(configuration, 2);
                queue.disableResultsCache();
                queue.addFiles(files);
                QCoro::waitFor(queue.waitUntilIdle());

                for (const auto& job : queue.jobs()) {
                    EXPECT_TRUE(job->status() == JobStatus::completed || job->status() == JobStatus::failed);
                    EXPECT_EQ(readFile(job->fileURL().toLocalFile()), original) << "no valid result was made";
                }
                for (const QString& name : everything(exportFolder))
                    EXPECT_EQ(readFile(QDir(exportFolder).filePath(name)), original) << name.toStdString();
                EXPECT_TRUE(hiddenLeftovers(work.path()).isEmpty());
            }
        }
    }
    EXPECT_EQ(filesAtRisk, int(misbehaviours.size()) * 8);
}

TEST_F(ToolFaults, OnlyALossyToolMayChangePixelsAndNeverInOnePlace)
{
    // A large photo-like picture, quantised as pngquant would, and the same
    // with a black 100×100 block: the block moves its mean by little.
    const QString source = dataFile(QStringLiteral("png/debian-grub-16x9.png"));
    const auto save = [&](const QString& name, bool damaged) {
        vips::VImage image = vips::VImage::new_from_file(source.toUtf8().constData()).copy_memory();
        if (damaged)
            image.draw_rect({0, 0, 0}, 900, 400, 100, 100, vips::VImage::option()->set("fill", true));
        const QString path = QDir(sandbox.filesDir()).filePath(name);
        image.pngsave(path.toUtf8().constData(), vips::VImage::option()->set("palette", true)->set("dither", 0.0));
        return QString::fromUtf8(QFile::encodeName(path));
    };
    const QByteArray quantised = "cp '" + save("quantised.png", false).toUtf8() + "' \"$out\"; exit 0";
    const QByteArray blocked = "cp '" + save("blocked.png", true).toUtf8() + "' \"$out\"; exit 0";
    const QByteArray skips = "exit 98";
    struct Case {
        const char* preset;
        QByteArray pngquant, oxipng;
        bool replaced;
    };
    const std::vector<Case> cases = {
        {"balanced", quantised, skips, true},
        {"balanced", blocked, skips, false},
        {"maximum", blocked, skips, false},
        {"balanced", skips, quantised, false}, // oxipng is lossless whatever the preset
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.preset) + (c.pngquant == skips ? ", oxipng" : ", pngquant")
                     + (c.pngquant == blocked ? " blocked" : ""));
        standIns(c.pngquant, c.oxipng);
        QTemporaryDir work;
        const QString path = copyInto(QStringLiteral("png/debian-grub-16x9.png"), work.path());
        optimizeInPlace(path, QString::fromLatin1(c.preset));
        EXPECT_EQ(readFile(path) != readFile(source), c.replaced);
    }
}

// A tool that exits 0 after writing only the first half of a good result (a
// lying tool, a full disk) never wins, however large the picture.
TEST_F(ToolFaults, AResultCutShortNeverWins)
{
    for (const int width : {4096, 96}) {
        SCOPED_TRACE(width);
        // A smooth picture that a palette holds well; its width is what makes it large.
        const auto noise = vips::VImage::gaussnoise(width / 8, 64, vips::VImage::option()->set("sigma", 60.0));
        const vips::VImage picture = noise.gaussblur(4).resize(8).cast(VIPS_FORMAT_UCHAR).bandjoin_const({90, 160});
        QTemporaryDir work;
        const QString path = work.filePath("screen.png");
        picture.pngsave(path.toUtf8().constData());
        const QString quantised = QDir(sandbox.filesDir()).filePath("quantised.png");
        picture.pngsave(quantised.toUtf8().constData(), vips::VImage::option()->set("palette", true));
        const QByteArray file = QFile::encodeName(quantised);
        standIns("head -c $(( $(stat -c %s '" + file + "') / 2 )) '" + file + "' > \"$out\"; exit 0", "exit 98");
        const QByteArray original = readFile(path);
        for (const char* preset : {"balanced", "maximum"}) {
            const auto job = optimizeInPlace(path, QString::fromLatin1(preset));
            EXPECT_TRUE(readFile(path) == original)
                << preset << ": placed " << job->bestTool().value_or("").toStdString();
        }
    }
}
