// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "WorkerFixture.h"
#include "platform/ImageIO.h"
#include "workers/JpegMetadata.h"
#include "workers/JpegoptimWorker.h"
#include "workers/JpegtranWorker.h"

#include <QFileInfo>

using namespace TestSupport;

namespace {

const QString portrait = QStringLiteral("odd/derived-plasma-summer_1am-640x400-orientation6.jpg");
const QString adobeRgb = QStringLiteral("jpeg/skimage-rocket.jpg");
const QString plain = QStringLiteral("jpeg/pingus-rocktile.jpg");

class JpegWorkers : public WorkerFixture {
protected:
    using WorkerFixture::output;
    QUrl output() const { return output(QStringLiteral("out.jpg")); }
    QStringList workingCopies() const
    {
        return QDir(sandbox.filesDir()).entryList({QStringLiteral("*.working")}, QDir::Files | QDir::Hidden);
    }
};

} // namespace

TEST(JpegMetadata, FindsTheOrientationAndTellsSrgbFromOtherProfiles)
{
    for (const auto& [file, orientation, profile] :
         {std::tuple{portrait, 6, false}, std::tuple{adobeRgb, 1, true}, std::tuple{plain, 1, false}}) {
        const JpegMetadata metadata = JpegMetadata::read(dataFile(file));
        EXPECT_EQ(metadata.orientation, orientation) << file.toStdString();
        EXPECT_EQ(metadata.needsExif(), orientation != 1);
        EXPECT_EQ(metadata.needsColourProfile(), profile);
    }
    // An ICC header and tag table with a 'desc' tag, as v2 and v4 profiles write it.
    const auto profileWith = [](const QByteArray& description) {
        return QByteArray(128, '\0') + PngBytes::bigEndian(1) + "desc" + PngBytes::bigEndian(144)
               + PngBytes::bigEndian(quint32(description.size())) + description;
    };
    EXPECT_TRUE(JpegMetadata::isSrgb(profileWith(QByteArrayLiteral("desc\0\0\0\0\0\0\0\x12sRGB IEC61966-2.1"))));
    EXPECT_TRUE(JpegMetadata::isSrgb(profileWith(QByteArrayLiteral("mluc\0\0\0\0\0s\0R\0G\0B"))));
    EXPECT_FALSE(JpegMetadata::isSrgb(profileWith(QByteArrayLiteral("desc\0\0\0\0\0\0\0\x11"
                                                                    "Adobe RGB (1998)"))));
    EXPECT_FALSE(JpegMetadata::isSrgb(QByteArray(10, 'x')));
}

// A bundled tool whose test run fails goes to the system copy; a main run that
// fails tries the system copy (never the same program again), then the
// re-encode, which the lossless preset never uses and which is credited to libvips.
TEST_F(JpegWorkers, EachStepOfTheFallbackChain)
{
    const QString sys = sandbox.systemDir();
    const QByteArray failsAfterHelp = "[ \"$1\" = --help ] && exit 0\n";
    struct Case {
        std::function<std::unique_ptr<JpegToolWorker>()> make;
        QByteArray bundled; // "": none; "!": not a program
        QByteArray system;
        std::optional<bool> written;
        QStringList lines; // in this order; a line naming libvips: the result is credited to it
        QString never = {}; // a line that must not be logged
    };
    const auto jpegtran = [] { return std::make_unique<JpegtranWorker>(true, false); };
    const auto jpegoptim = [] { return std::make_unique<JpegoptimWorker>(80, false); };
    const auto losslessJpegoptim = [] { return std::make_unique<JpegoptimWorker>(100, false); };
    const auto losslessJpegtran = [] { return std::make_unique<JpegtranWorker>(true, false, false); };
    // jpegoptim answers 0 when its file is gone.
    const QByteArray removesItsFile = failsAfterHelp + "for f; do :; done\nrm -f \"$f\"\nexit 0";
    const Case cases[] = {
        {jpegtran,
         "exit 2",
         "exit 0",
         true,
         {"jpegtran bundled tool test failed (exit 2), trying system tools",
          "Found system jpegtran at: " + sys + "/jpegtran", "Using system jpegtran: " + sys + "/jpegtran"}},
        {jpegoptim, "exit 1", "", {}, {"Found jpegoptim in app bundle", "optimization failed (exit 1)"}},
        {jpegtran,
         "!",
         "",
         {},
         {"jpegtran bundled tool cannot execute: jpegtran failed: ", "No system jpegtran found, using libvips fallback",
          "libvips JPEG optimization (jpegtran fallback) completed: "}},
        {jpegoptim,
         failsAfterHelp + "echo 'bad marker' >&2\nexit 1",
         "echo 'still bad' >&2\nexit 1",
         {},
         {"jpegoptim optimization failed (exit 1): bad marker\n", "Trying system jpegoptim as final fallback",
          "Using system jpegoptim: " + sys + "/jpegoptim", "System jpegoptim also failed (exit 1): still bad\n",
          "Falling back to libvips JPEG optimization"}},
        {jpegoptim,
         "",
         failsAfterHelp + "exit 1",
         {},
         {"optimization failed (exit 1)", "Falling back to libvips JPEG optimization"},
         "as final fallback"},
        {losslessJpegoptim, removesItsFile, "", false, {"jpegoptim optimization failed (exit 0)"}},
        {losslessJpegoptim, "", "", false, {"not found"}},
        {losslessJpegtran, "", "", false, {"under the lossless preset, skipped"}},
    };
    const auto in = input(plain);
    for (const Case& c : cases) {
        auto worker = c.make();
        SCOPED_TRACE((worker->name() + ": " + c.bundled).toStdString());
        for (const auto& [dir, script] : {std::pair{sandbox.bundledDir(), c.bundled}, {sys, c.system}}) {
            const QString tool = dir + '/' + worker->name();
            QFile::remove(tool);
            if (script == "!")
                writeFile(tool, "not a program");
            else if (!script.isEmpty())
                sandbox.writeScript(tool, script);
        }
        sandbox.clear();
        QFile::remove(output().toLocalFile());
        const auto answer = awaitOutcome(worker->optimizeFile(in, output()));
        ASSERT_FALSE(answer.failed()) << answer.error().errorDescription().toStdString();
        if (c.written) {
            EXPECT_EQ(answer.value(), *c.written);
            EXPECT_TRUE(*c.written || !QFileInfo::exists(output().toLocalFile()));
        }
        qsizetype next = 0;
        for (const QString& line : sandbox.lines())
            if (next < c.lines.size() && line.contains(c.lines[next]))
                ++next;
        EXPECT_EQ(next, c.lines.size()) << sandbox.lines().join('\n').toStdString();
        EXPECT_TRUE(c.lines.filter("libvips").isEmpty() || worker->resultName() == "libvips")
            << worker->resultName().toStdString();
        EXPECT_TRUE(c.never.isEmpty() || !sandbox.logged(c.never)) << sandbox.lines().join('\n').toStdString();
        EXPECT_FALSE(c.bundled == "exit 1" && sandbox.logged("test failed")) << "exit 1 passes the test run";
        EXPECT_TRUE(workingCopies().isEmpty());
    }
}

// Each tool alone keeps how a photo looks under every preset: the pipeline's
// check would only refuse its result, and the saving would be lost.
TEST_F(JpegWorkers, EachToolKeepsTheOrientationAndTheProfileUnderEveryPreset)
{
    sandbox.useRealTools();
    const auto turned = input(portrait), profiled = input(adobeRgb);
    const QByteArray profile = JpegMetadata::read(profiled->localPath()).iccProfile;
    for (const auto& [quality, strip] : {std::pair{100, false}, {80, false}, {70, true}}) {
        std::unique_ptr<JpegToolWorker> workers[] = {std::make_unique<JpegoptimWorker>(quality, strip),
                                                     std::make_unique<JpegtranWorker>(true, strip)};
        for (const auto& worker : workers) {
            SCOPED_TRACE(worker->name().toStdString() + (strip ? ", stripping" : ""));
            ASSERT_TRUE(awaitOutcome(worker->optimizeFile(turned, output())).value());
            EXPECT_EQ(JpegMetadata::read(output().toLocalFile()).orientation, 6);
            ASSERT_FALSE(awaitOutcome(worker->optimizeFile(profiled, output())).failed());
            EXPECT_EQ(JpegMetadata::read(output().toLocalFile()).iccProfile, profile);
        }
    }
}

// The re-encode keeps the profile, turns the pixels and writes orientation 1;
// a vanished input is an error.
TEST_F(JpegWorkers, TheReencodeKeepsHowThePhotoLooksAndAVanishedInputIsAnError)
{
    auto answer = awaitOutcome(JpegoptimWorker(80, false).libvipsJpegFallback(input(adobeRgb), output()));
    ASSERT_FALSE(answer.failed());
    EXPECT_TRUE(answer.value());
    EXPECT_TRUE(JpegMetadata::read(output().toLocalFile()).needsColourProfile());
    const auto turned = input(portrait);
    answer = awaitOutcome(JpegtranWorker(true, true).libvipsJpegtranFallback(turned, output()));
    ASSERT_FALSE(answer.failed());
    EXPECT_TRUE(answer.value());
    EXPECT_EQ(ImageIO::decodedSize(output().toLocalFile()), QSize(400, 640));
    EXPECT_EQ(JpegMetadata::read(output().toLocalFile()).orientation, 1);
    EXPECT_EQ(readFile(turned->localPath()), readFile(dataFile(portrait)));

    sandbox.useRealTools();
    const auto in = input(plain);
    QFile::remove(in->localPath());
    answer = awaitOutcome(JpegoptimWorker(80, false).optimizeFile(in, output()));
    ASSERT_TRUE(answer.failed());
    EXPECT_EQ(answer.error().kind(), OptimizationError::Kind::platform);
    EXPECT_TRUE(workingCopies().isEmpty());
}

// Jobs that start together and jobs that come later share one test run per tool.
TEST_F(JpegWorkers, EachToolIsTestedOncePerProcess)
{
    const QString calls = sandbox.filesDir() + QStringLiteral("/calls");
    sandbox.writeScript(sandbox.bundledDir() + "/jpegtran", "[ \"$1\" = -version ] && { echo test >> '" + calls.toUtf8()
                                                                + "'; sleep 0.2; exit 0; }\ncp \"$7\" \"$6\"");
    const auto in = input(plain);
    JpegtranWorker one(true, false);
    JpegtranWorker two(true, false);
    auto both = [&]() -> QCoro::Task<bool> {
        auto first = one.optimizeFile(in, output("a.jpg"));
        auto second = two.optimizeFile(in, output("b.jpg"));
        const bool a = (co_await first).value();
        const bool b = (co_await second).value();
        co_return a&& b;
    };
    EXPECT_TRUE(QCoro::waitFor(both()));
    EXPECT_TRUE(awaitOutcome(JpegtranWorker(true, false).optimizeFile(in, output("c.jpg"))).value());
    EXPECT_EQ(readFile(calls), "test\n");
    EXPECT_EQ(sandbox.lines().filter("-version").size(), 1);
}
