// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "jobs/OutputVerifier.h"
#include "TestSupport.h"
#include "dng/DngSampleWriter.h"
#include "jobs/SvgVerifier.h"
#include "platform/ImageInspector.h"
#include "workers/SvgcleanerWorker.h"

using namespace TestSupport;

namespace {

// Runs a real tool to make a candidate output; the tools are part of the set-up.
bool runTool(const QString& program, const QStringList& arguments)
{
    return run(program, arguments).exitCode == 0;
}

class OutputVerifierTest : public ::testing::Test {
protected:
    QString copy(const QString& relative, const QString& name = {}) { return copyInto(relative, dir.path(), name); }
    QString path(const QString& name) const { return dir.filePath(name); }

    QTemporaryDir dir;
    SvgCleaner svgcleaner;
};

} // namespace

TEST_F(OutputVerifierTest, LosslessRecodingsPassAndAnyPixelChangeFailsUnderLossless)
{
    // A 16-bit PNG and an 8-bit RGBA one, recoded losslessly by a real tool.
    for (const QString name : {"imagemagick-radial-gradient.png", "pidgin-pidgin-logo.png"}) {
        const QString source = copy("png/" + name);
        ASSERT_TRUE(runTool("/usr/bin/vips", {"copy", source, path("recoded.png[compression=9]")}));
        EXPECT_TRUE(OutputVerifier::verify(source, IOFileType::png, path("recoded.png"), true).accepted)
            << qPrintable(name);

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
    writeFile(path("empty.png"), {});
    ASSERT_TRUE(runTool("/usr/bin/vips", {"invert", source, path("inverted.png")}));
    for (const auto& [candidate, reason] : {std::pair{path("truncated.png"), "does not decode"},
                                            {path("empty.png"), ""},
                                            {copy("jpeg/pingus-clouds.jpg", "looks-like.png"), "jpeg"},
                                            {copy("png/pidgin-pidgin-logo.png", "other.png"), "pixels instead of"},
                                            {path("inverted.png"), "looks different"}}) {
        const auto verdict = OutputVerifier::verify(source, IOFileType::png, candidate, false);
        EXPECT_FALSE(verdict.accepted) << qPrintable(candidate);
        EXPECT_TRUE(verdict.reason.contains(reason)) << qPrintable(verdict.reason);
    }
}

TEST_F(OutputVerifierTest, ARotatedPhotoOrADroppedFrameIsCaught)
{
    // Orientation 6: shown as a portrait although its pixels are stored as a landscape.
    const QString portrait = copy("odd/derived-plasma-summer_1am-640x400-orientation6.jpg", "portrait.jpg");
    ASSERT_TRUE(runTool("/usr/bin/jpegtran", {"-copy", "none", "-outfile", path("sideways.jpg"), portrait}));
    const auto sideways = OutputVerifier::verify(portrait, IOFileType::jpeg, path("sideways.jpg"), false);
    EXPECT_FALSE(sideways.accepted);
    EXPECT_TRUE(sideways.reason.contains("640×400 pixels instead of 400×640")) << qPrintable(sideways.reason);
    ASSERT_TRUE(runTool("/usr/bin/jpegtran", {"-copy", "all", "-optimize", "-outfile", path("kept.jpg"), portrait}));
    EXPECT_TRUE(OutputVerifier::verify(portrait, IOFileType::jpeg, path("kept.jpg"), true).accepted);

    const QString animation = copy("gif/wordpress-images-spinner.gif");
    ASSERT_TRUE(runTool("/usr/bin/gifsicle", {animation, "#0", "-o", path("still.gif")}));
    EXPECT_TRUE(OutputVerifier::verify(animation, IOFileType::gif, path("still.gif"), false).reason.contains("frames"));
    ASSERT_TRUE(runTool("/usr/bin/gifsicle", {"-O3", animation, "-o", path("smaller.gif")}));
    EXPECT_TRUE(OutputVerifier::verify(animation, IOFileType::gif, path("smaller.gif"), true).accepted)
        << "frame optimisation keeps every shown pixel";
}

// An SVG must be well-formed, keep its size, draw alike, and keep every id and
// its text whatever its encoding.
TEST_F(OutputVerifierTest, SvgMustBeWellFormedDrawAlikeAndKeepItsSizeIdsAndText)
{
    const QString circle = copy("svg/twemoji-1f534.svg"),
                  icon = copy("svg/adwaita-scalable-actions-list-remove-symbolic.svg");
    const QString latin1 = copy("svg/latin1-text.svg"), sprite = copy("svg/sprite-icons.svg");
    const QByteArray circleText = readFile(circle), iconText = readFile(icon), spriteText = readFile(sprite);
    const QByteArray asUtf8 = QString::fromLatin1(readFile(latin1)).replace("ISO-8859-1", "UTF-8").toUtf8();
    const qsizetype homeAt = spriteText.indexOf("<symbol id=\"home\"");
    // Points become pixels the way a browser counts them: the same picture,
    // though the renderer here takes a point for a pixel.
    const QByteArray inPoints = "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"372pt\" height=\"36pt\" "
                                "viewBox=\"0 0 372 36\"><rect width=\"372\" height=\"36\" fill=\"#fff\"/>"
                                "<rect x=\"10\" width=\"100\" height=\"30\" fill=\"#000\"/></svg>";
    writeFile(path("points.svg"), inPoints);
    // A few pixels apart: an edge moved by a third of a pixel, a colour by one step.
    const QByteArray square =
        "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"200\" height=\"200\" viewBox=\"0 0 200 200\">"
        "<rect x=\"10\" y=\"10\" width=\"100\" height=\"100\"/></svg>";
    const QByteArray viewBoxOnly = QByteArray(square).replace("width=\"200\" height=\"200\" ", "");
    // Drawn at its size this would take 40 GB: it is drawn scaled down, still exactly.
    const QByteArray huge = QByteArray(square).replace("width=\"200\" height=\"200\"",
                                                       "width=\"100000\" height=\"100000\"");
    writeFile(path("square.svg"), square);
    writeFile(path("viewbox.svg"), viewBoxOnly);
    writeFile(path("huge.svg"), huge);
    writeFile(path("broken-original.svg"), spriteText.left(200));
    const struct {
        QString source;
        QByteArray candidate;
        bool lossless;
        const char* rejection;
    } cases[] = {
        {circle, circleText, true, nullptr},
        {circle, circleText.left(60), false, "well-formed"},
        {circle, "<?xml version=\"1.0\"?><html><svg/></html>", false, "<html>"},
        {circle, QByteArray(circleText).replace("18\"", "18.0004\""), false, nullptr}, // rounding
        {circle, QByteArray(circleText).replace("#DD2E44", "#2E44DD"), false, "looks different"},
        {icon, QByteArray(iconText).replace("width=\"16px\"", "width=\"16\""), false, nullptr},
        {icon, QByteArray(iconText).replace("width=\"16px\"", "width=\"32\""), false, "size"},
        {path("points.svg"), QByteArray(inPoints).replace("372pt", "496").replace("36pt", "48"), true, nullptr},
        {path("square.svg"), QByteArray(square).replace("x=\"10\"", "x=\"10.3\""), true, "looks different"},
        {path("square.svg"), QByteArray(square).replace("x=\"10\"", "x=\"10.3\""), false, nullptr}, // anti-aliasing
        {path("square.svg"),
         QByteArray(square).replace("</svg>",
                                    "<rect x=\"150\" y=\"150\" width=\"20\" height=\"20\" fill=\"#d00\"/></svg>"),
         false, "looks different"},
        {path("viewbox.svg"), QByteArray(viewBoxOnly).replace("<rect", "<rect fill=\"#010000\""), true,
         "looks different"},
        {path("huge.svg"), huge, true, nullptr},
        {path("huge.svg"), QByteArray(huge).replace("x=\"10\"", "x=\"10.3\""), true, "looks different"},
        {latin1, asUtf8, true, nullptr},
        {latin1, QByteArray(asUtf8).replace("Caf\xc3\xa9", "Caf\xef\xbf\xbd"), true, "text"},
        {sprite, spriteText, true, nullptr},
        {sprite, QByteArray(spriteText).remove(homeAt, spriteText.indexOf("</symbol>", homeAt) + 9 - homeAt), true,
         "ids"},
        {sprite, QByteArray(spriteText).replace("id=\"star\"", "id=\"b\""), true, "ids"},
        {sprite, QByteArray(spriteText).replace("<title>Home", "<title>House"), true, "text"},
        {path("broken-original.svg"), spriteText, true, "original"},
    };
    for (const auto& c : cases) {
        writeFile(path("candidate.svg"), c.candidate);
        const auto verdict = OutputVerifier::verify(c.source, IOFileType::svg, path("candidate.svg"), c.lossless);
        EXPECT_EQ(verdict.accepted, c.rejection == nullptr) << qPrintable(verdict.reason);
        if (c.rejection) {
            EXPECT_TRUE(verdict.reason.contains(c.rejection)) << qPrintable(verdict.reason);
        }
    }
}

// Style sheets pick elements by name, by their ancestors and in states a
// drawing at rest never shows: cleaned either way, such a file keeps what its
// selectors pick, and under lossless draws exactly as before or is not taken.
TEST_F(OutputVerifierTest, StyledSvgKeepsWhatItsSelectorsPickAndItsLookOrIsRejected)
{
    const QByteArray head =
        "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"128\" height=\"128\" viewBox=\"0 0 128 128\"><style>";
    const struct {
        const char* name;
        QByteArray body;
        QByteArrayList kept;
    } cases[] = {
        {"warn.svg",
         "g#warn &gt; path { fill:#d00 }</style><rect width=\"128\" height=\"128\" fill=\"#fff\"/>"
         "<g id=\"warn\"><path d=\"M10 10h20v20H10z\"/></g>",
         {"g#warn", "<g id=\"warn\"><path"}},
        {"hover.svg",
         "rect:hover { fill:#0a0 } rect:active { fill:#00a }</style>"
         "<rect x=\"8\" y=\"8\" width=\"48\" height=\"48\" fill=\"#333\"/>",
         {"rect:hover", "rect:active", "<rect"}},
    };
    for (const auto& c : cases) {
        const QString source = path(c.name), cleaned = path("cleaned.svg");
        writeFile(source, head + c.body + "</svg>");
        ASSERT_TRUE(runTool("/usr/bin/vips", {"copy", source, path("before.png")}));
        for (const QString mode : {"--multipass", "--precise"}) {
            ASSERT_TRUE(svgcleaner.clean(source, cleaned, mode == "--multipass", mode == "--precise")) << c.name;
            for (const QByteArray& selected : c.kept)
                EXPECT_TRUE(readFile(cleaned).contains(selected)) << c.name << " lost " << selected.constData();
            if (!OutputVerifier::verify(source, IOFileType::svg, cleaned, true).accepted)
                continue;
            // Drawn apart from the verifier, by libvips' own command.
            ASSERT_TRUE(runTool("/usr/bin/vips", {"copy", cleaned, path("after.png")}));
            QString why;
            EXPECT_EQ(ImageInspector::samePixels(path("before.png"), path("after.png"), &why), true) << c.name;
        }
    }
}

// Rounded to svgo's usual three decimals, edges move by fractions of a pixel:
// allowed where pixels may change. Lossless cleans precisely, and the drawing
// stays exactly as it was.
TEST_F(OutputVerifierTest, OnlyPreciseCleaningDrawsExactlyAsTheOriginal)
{
    // Drawn at a quarter of its 3840×2160: the same edges, a sixteenth of the pixels to compare.
    const QString source = path("lines.svg"), cleaned = path("cleaned.svg");
    writeFile(source, readFile(dataFile("odd/Bildschirm Sperre – Linien ü 🎨.svg"))
                          .replace(R"(width="3840")", R"(width="960")")
                          .replace(R"(height="2160")", R"(height="540")"));
    for (const auto& [mode, exact] : {std::pair{"--precise", true}, {"--multipass", false}}) {
        ASSERT_TRUE(svgcleaner.clean(source, cleaned, true, exact));
        EXPECT_LT(QFileInfo(cleaned).size(), QFileInfo(source).size()) << mode;
        EXPECT_EQ(OutputVerifier::verify(source, IOFileType::svg, cleaned, true).accepted, exact) << mode;
        // Which check a result gets follows from the credit it carries.
        const auto worker = std::make_shared<SvgcleanerWorker>(exact);
        EXPECT_EQ(OutputVerifier::needsSamePixels(worker->resultName(), OutputVerifier::pixelChangingTools({worker})),
                  exact)
            << mode;
        if (!exact) {
            EXPECT_TRUE(OutputVerifier::verify(source, IOFileType::svg, cleaned, false).accepted);
        }
    }
}

TEST_F(OutputVerifierTest, ADngMustKeepEveryRawSampleItsOrientationAndLevels)
{
    ASSERT_TRUE(DngSampleWriter::write(path("source.dng"), {}));
    ASSERT_TRUE(runTool(
        PRESSLY_BINARY_DIR "/share/pressly-pro/BundledTools/bin/dnglab",
        {"convert", "--compression", "lossless", "--embed-raw", "false", path("source.dng"), path("repacked.dng")}));
    EXPECT_TRUE(OutputVerifier::verify(path("source.dng"), IOFileType::dng, path("repacked.dng"), true).accepted);

    ASSERT_TRUE(DngSampleWriter::write(path("other.dng"), {.seed = 2}));
    ASSERT_TRUE(DngSampleWriter::write(path("rotated.dng"), {.orientation = 6}));
    ASSERT_TRUE(DngSampleWriter::write(path("levels.dng"), {.bits = 14}));
    writeFile(path("broken.dng"), readFile(path("repacked.dng")).left(3000));
    for (const QString name : {"other.dng", "rotated.dng", "levels.dng", "broken.dng"})
        EXPECT_FALSE(OutputVerifier::verify(path("source.dng"), IOFileType::dng, path(name), true).accepted)
            << qPrintable(name);
}

TEST(SvgVerifier, LengthsCountInCssPixels)
{
    for (const auto& [length, pixels] : {std::pair<const char16_t*, std::optional<double>>{u"3720pt", 4960.0},
                                         {u" 16px ", 16.0},
                                         {u"1e2", 100.0},
                                         {u"1in", 96.0},
                                         {u"6pc", 96.0},
                                         {u"50%", std::nullopt},
                                         {u"2em", std::nullopt}})
        EXPECT_EQ(SvgVerifier::cssPixels(length), pixels) << QString::fromUtf16(length).toStdString();
}
