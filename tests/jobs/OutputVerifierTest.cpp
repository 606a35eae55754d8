#include "TestSupport.h"
#include "jobs/OutputVerifier.h"

#include <QProcess>

#include <gtest/gtest.h>

using namespace TestSupport;

namespace {

// Runs a real tool to make a candidate output; the tools are part of the set-up.
bool runTool(const QString& program, const QStringList& arguments, const QString& stdoutFile = {})
{
    QProcess process;
    if (!stdoutFile.isEmpty())
        process.setStandardOutputFile(stdoutFile);
    process.start(program, arguments);
    return process.waitForFinished(60000) && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

class OutputVerifierTest : public ::testing::Test {
protected:
    QString copy(const QString& relative, const QString& name = {}) { return copyInto(relative, dir.path(), name); }
    QString path(const QString& name) const { return dir.filePath(name); }

    QTemporaryDir dir;
};

} // namespace

TEST_F(OutputVerifierTest, LosslessRecodingsPassAndAnyPixelChangeFailsUnderLossless)
{
    // A 16-bit PNG and an 8-bit RGBA one, recoded losslessly by a real tool.
    for (const QString name : {"imagemagick-radial-gradient.png", "pidgin-pidgin-logo.png"}) {
        const QString source = copy("png/" + name);
        ASSERT_TRUE(runTool("/usr/bin/vips", {"copy", source, path("recoded.png[compression=9]")}));
        EXPECT_TRUE(OutputVerifier::verify(source, IOFileType::png, path("recoded.png"), true).accepted) << qPrintable(name);

        ASSERT_TRUE(runTool("/usr/bin/pngquant", {"--force", "--output", path("quantised.png"), "16", source}));
        const auto lossless = OutputVerifier::verify(source, IOFileType::png, path("quantised.png"), true);
        EXPECT_FALSE(lossless.accepted) << qPrintable(name);
        EXPECT_TRUE(lossless.reason.contains("pixels differ")) << qPrintable(lossless.reason);
        EXPECT_TRUE(OutputVerifier::verify(source, IOFileType::png, path("quantised.png"), false).accepted)
            << "a lossy preset may quantise";
    }
}

TEST_F(OutputVerifierTest, BrokenWrongKindOrDifferentImagesAreRejected)
{
    const QString source = copy("png/debian-debian.png");
    const QByteArray bytes = readFile(source);

    writeFile(path("truncated.png"), bytes.left(bytes.size() / 2));
    EXPECT_TRUE(OutputVerifier::verify(source, IOFileType::png, path("truncated.png"), false)
                    .reason.contains("does not decode"));

    writeFile(path("empty.png"), {});
    EXPECT_FALSE(OutputVerifier::verify(source, IOFileType::png, path("empty.png"), false).accepted);

    const QString jpeg = copy("jpeg/pingus-clouds.jpg", "looks-like.png");
    EXPECT_TRUE(OutputVerifier::verify(source, IOFileType::png, jpeg, false).reason.contains("jpeg"));

    const QString other = copy("png/pidgin-pidgin-logo.png", "other.png");
    EXPECT_TRUE(OutputVerifier::verify(source, IOFileType::png, other, false).reason.contains("pixels instead of"));

    ASSERT_TRUE(runTool("/usr/bin/vips", {"invert", source, path("inverted.png")}));
    EXPECT_TRUE(OutputVerifier::verify(source, IOFileType::png, path("inverted.png"), false)
                    .reason.contains("looks different"));
}

TEST_F(OutputVerifierTest, ARotatedPhotoOrADroppedFrameIsCaught)
{
    // Orientation 6: shown as a portrait although its pixels are stored as a landscape.
    const QString portrait = copy("odd/plasma-summer_1am-2560x1600-orientation6-added.jpg", "portrait.jpg");
    ASSERT_TRUE(runTool("/usr/bin/jpegtran", {"-copy", "none", "-outfile", path("sideways.jpg"), portrait}));
    const auto sideways = OutputVerifier::verify(portrait, IOFileType::jpeg, path("sideways.jpg"), false);
    EXPECT_FALSE(sideways.accepted);
    EXPECT_TRUE(sideways.reason.contains("2560×1600 pixels instead of 1600×2560")) << qPrintable(sideways.reason);
    ASSERT_TRUE(runTool("/usr/bin/jpegtran", {"-copy", "all", "-optimize", "-outfile", path("kept.jpg"), portrait}));
    EXPECT_TRUE(OutputVerifier::verify(portrait, IOFileType::jpeg, path("kept.jpg"), true).accepted);

    const QString animation = copy("gif/wordpress-images-spinner.gif");
    ASSERT_TRUE(runTool("/usr/bin/gifsicle", {animation, "#0"}, path("still.gif")));
    EXPECT_TRUE(OutputVerifier::verify(animation, IOFileType::gif, path("still.gif"), false).reason.contains("frames"));
    ASSERT_TRUE(runTool("/usr/bin/gifsicle", {"-O3", animation}, path("smaller.gif")));
    EXPECT_TRUE(OutputVerifier::verify(animation, IOFileType::gif, path("smaller.gif"), true).accepted)
        << "frame optimisation keeps every shown pixel";
}

TEST_F(OutputVerifierTest, SvgMustBeWellFormedWithAnSvgRoot)
{
    const QString source = copy("svg/twemoji-1f534.svg");
    EXPECT_TRUE(OutputVerifier::verify(source, IOFileType::svg, source, true).accepted);
    writeFile(path("cut.svg"), readFile(source).left(60));
    EXPECT_TRUE(OutputVerifier::verify(source, IOFileType::svg, path("cut.svg"), false).reason.contains("well-formed"));
    writeFile(path("html.svg"), "<?xml version=\"1.0\"?><html><svg/></html>");
    EXPECT_TRUE(OutputVerifier::verify(source, IOFileType::svg, path("html.svg"), false).reason.contains("<html>"));
}
