// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Before any Qt header: glib uses "signals" as a name, Qt defines it as a keyword.
#include <vips/vips8>

#include "WorkerFixture.h"
#include "jobs/OptimizationJob.h"
#include "jobs/SvgContent.h"
#include "platform/ImageIO.h"
#include "workers/DnglabWorker.h"
#include "workers/GifsicleWorker.h"
#include "workers/JobWorkingFiles.h"
#include "workers/SvgcleanerWorker.h"
#include "workers/TemporaryFiles.h"

#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QTimer>

#include <signal.h>

#include <gtest/gtest.h>

using namespace TestSupport;

namespace {

const QString spinner = QStringLiteral("gif/wordpress-images-spinner.gif"); // 36 frames

int frameCount(const QString& path)
{
    if (VIPS_INIT("pressly_tests") != 0)
        return 0;
    try {
        const vips::VImage image = vips::VImage::new_from_file(path.toLocal8Bit().constData());
        return image.get_typeof("n-pages") != 0 ? image.get_int("n-pages") : 1;
    } catch (const vips::VError&) {
        vips_error_clear();
        return 0;
    }
}

class GifSvgDngWorkers : public WorkerFixture {
protected:
    // The svgcleaner adapter as the build installs it.
    static QString adapter()
    {
        return QStringLiteral(PRESSLY_BINARY_DIR "/share/pressly-pro/BundledTools/bin/svgcleaner");
    }
    int runAdapter(const QStringList& args, const QString& workingDir)
    {
        QProcess process;
        process.setWorkingDirectory(workingDir);
        process.start(adapter(), args);
        process.waitForFinished(60000);
        return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    }

    // Copies of the test SVGs through a real queue, in place, as one batch;
    // `during` is called every 10 ms while it runs.
    void runBatch(JobQueue& queue, const QString& prefix, const std::function<void()>& during = {})
    {
        QList<QUrl> urls;
        for (const char* name : {"adwaita-scalable-actions-list-remove-symbolic", "sprite-icons", "latin1-text"})
            urls << QUrl::fromLocalFile(
                copyInto(QStringLiteral("svg/%1.svg").arg(name), sandbox.filesDir(), prefix + name + ".svg"));
        QTimer poll;
        if (during)
            QObject::connect(&poll, &QTimer::timeout, during);
        poll.start(10);
        queue.addFiles(urls);
        QCoro::waitFor(queue.waitUntilIdle());
        for (const auto& job : queue.jobs())
            EXPECT_TRUE(job->status() == JobStatus::completed && JobQueue::savedBytes(*job))
                << qPrintable(job->fileName());
    }
    // The servers started so far, by process id.
    QList<pid_t> servers() const
    {
        QList<pid_t> pids;
        const QRegularExpression started(QStringLiteral("Started the svgcleaner server \\(pid (\\d+)\\)"));
        for (const QString& line : sandbox.lines())
            if (const auto match = started.match(line); match.hasMatch())
                pids << pid_t(match.captured(1).toInt());
        return pids;
    }
    static bool running(pid_t pid) { return ::kill(pid, 0) == 0; }
    Configuration inPlace;
};

} // namespace

TEST_F(GifSvgDngWorkers, TheRealGifsiclePairKeepsEveryFrameOfAnAnimation)
{
    sandbox.useRealTools();
    auto job = jobFor(spinner);
    ASSERT_EQ(frameCount(job->fileURL().toLocalFile()), 36);
    auto lossy = std::make_shared<GifsicleWorker>(70, false);
    lossy->setJob(job);
    EXPECT_EQ(QCoro::waitFor(lossy->run()), std::nullopt);
    ASSERT_TRUE(job->optimizedSize());
    const IOFile::Ptr afterLossy = JobWorkingFiles::workingInputFile(*job);
    ASSERT_TRUE(afterLossy);
    EXPECT_EQ(frameCount(afterLossy->localPath()), 36);
    EXPECT_EQ(ImageIO::decodedSize(afterLossy->localPath()), QSize(20, 20));

    const auto answer = awaitOutcome(GifsicleWorker(0, true).optimizeFile(afterLossy, output("lossless.gif")));
    ASSERT_FALSE(answer.failed());
    EXPECT_TRUE(answer.value());
    EXPECT_EQ(frameCount(output("lossless.gif").toLocalFile()), 36);
    EXPECT_EQ(readFile(job->fileURL().toLocalFile()), readFile(dataFile(spinner)));
}

TEST_F(GifSvgDngWorkers, TheSvgcleanerAdapterRefusesWhatItCannotCleanAndNeverWritesAPartialFile)
{
    const QString dir = sandbox.filesDir();
    writeFile(dir + "/empty.svg", "  \n");
    writeFile(dir + "/broken.svg", "<svg xmlns=\"http://www.w3.org/2000/svg\"><g><rect width=\"1\"");
    for (const QString name : {"empty.svg", "missing.svg", "broken.svg"})
        EXPECT_NE(runAdapter({name, "out-" + name, "--multipass"}, dir), 0) << name.toStdString();
    EXPECT_EQ(QDir(dir).entryList({"out*", ".out*"}, QDir::Files | QDir::Hidden), QStringList());

    // A name that begins with "-" is a file, not an option.
    copyInto("svg/adwaita-scalable-actions-list-remove-symbolic.svg", dir, "-icon.svg");
    ASSERT_EQ(runAdapter({"-icon.svg", "-out.svg", "--multipass"}, dir), 0);
    const QByteArray cleaned = readFile(dir + "/-out.svg");
    EXPECT_TRUE(cleaned.startsWith("<svg"));
    EXPECT_LE(cleaned.size(), QFileInfo(dir + "/-icon.svg").size());
    EXPECT_EQ(readFile(dir + "/-icon.svg"),
              readFile(dataFile("svg/adwaita-scalable-actions-list-remove-symbolic.svg")));
}

TEST_F(GifSvgDngWorkers, TheSvgcleanerAdapterKeepsTextInItsEncodingAndEveryIdOrRefuses)
{
    const QString dir = sandbox.filesDir();
    const QByteArray latin1 = readFile(dataFile("svg/latin1-text.svg"));
    const QString decoded = QString::fromLatin1(latin1).replace("ISO-8859-1", "UTF-16");
    const QByteArray utf16 = QByteArray("\xff\xfe")
                             + QByteArray(reinterpret_cast<const char*>(decoded.utf16()), decoded.size() * 2);
    const struct {
        const char* name;
        QByteArray bytes;
        bool cleaned;
    } cases[] = {
        {"latin1.svg", latin1, true},
        {"utf16.svg", utf16, true},
        {"sprite.svg", readFile(dataFile("svg/sprite-icons.svg")), true},
        {"not-utf8.svg", QByteArray(latin1).replace("ISO-8859-1", "UTF-8"), false},
    };
    SvgCleaner svgcleaner;
    for (const auto& c : cases) {
        writeFile(dir + "/" + c.name, c.bytes);
        const QString out = dir + "/out-" + c.name;
        const bool cleanedHere = svgcleaner.clean(dir + "/" + c.name, out, false, false);
        EXPECT_EQ(cleanedHere, c.cleaned) << c.name;
        if (!cleanedHere) {
            EXPECT_FALSE(QFile::exists(out)) << c.name;
            continue;
        }
        const QByteArray cleaned = readFile(out);
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        EXPECT_FALSE(QString(utf8(cleaned)).contains(QChar::ReplacementCharacter) || utf8.hasError()) << c.name;
        EXPECT_LT(cleaned.size(), c.bytes.size()) << c.name;
        QString why;
        const auto before = SvgContent::read(c.bytes, &why);
        const auto after = SvgContent::read(cleaned, &why);
        ASSERT_TRUE(before && after) << c.name << " " << qPrintable(why);
        EXPECT_EQ(after->texts.join(u'|').toStdString(), before->texts.join(u'|').toStdString()) << c.name;
        EXPECT_TRUE(after->ids.contains(before->ids)) << c.name;
    }
}

TEST_F(GifSvgDngWorkers, TheRealSvgcleanerShrinksAnSvgInsideAJob)
{
    sandbox.useRealTools();
    auto job = jobFor("odd/Bildschirm Sperre – Linien ü 🎨.svg");
    auto worker = std::make_shared<SvgcleanerWorker>();
    worker->setJob(job);
    EXPECT_EQ(QCoro::waitFor(worker->run()), std::nullopt);
    ASSERT_TRUE(job->optimizedSize());
    EXPECT_LT(*job->optimizedSize(), job->originalSize());
    EXPECT_EQ(job->bestTool(), "svgo");
}

// Each batch shares one svgcleaner server that ends with it; its jobs outlive
// a killed one and leave nothing behind.
TEST_F(GifSvgDngWorkers, EachBatchSharesOneSvgcleanerServerThatEndsWithItOrIsOutlived)
{
    sandbox.useRealTools();
    inPlace.setOperationMode(Configuration::OperationMode::optimizeOriginals);
    JobQueue queue(inPlace, 1);
    queue.disableResultsCache();
    runBatch(queue, QStringLiteral("b1-"));
    ASSERT_EQ(servers().size(), 1);
    EXPECT_FALSE(running(servers().last()));
    runBatch(queue, QStringLiteral("b2-"), [this] {
        if (servers().size() == 2 && running(servers().last()))
            ::kill(servers().last(), SIGKILL);
    });
    EXPECT_TRUE(sandbox.logged("The svgcleaner server is gone: running svgcleaner for this file"));
    const QDir temporary(TemporaryFiles::directory());
    EXPECT_EQ(temporary.entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), QStringList());
    for (const pid_t pid : servers()) // the one started after the kill too
        EXPECT_FALSE(running(pid));
}

TEST_F(GifSvgDngWorkers, AFailedSvgcleanerRunLeavesNoPartialOutputBehind)
{
    sandbox.writeScript(sandbox.bundledDir() + "/svgcleaner",
                        "touch \"$(dirname \"$2\")/.$(basename \"$2\").$$.partial\"\nexit 1");
    const auto answer = awaitOutcome(SvgcleanerWorker().optimizeFile(input("svg/sprite-icons.svg"), output("out.svg")));
    EXPECT_TRUE(answer.failed());
    EXPECT_EQ(QDir(sandbox.filesDir()).entryList({".out.svg*"}, QDir::Files | QDir::Hidden), QStringList());
}

// The real tool's arguments and results are covered by the in-place DNG runs.
TEST_F(GifSvgDngWorkers, AMissingOrFailingDnglabLeavesTheJobWithoutAResultAndNoError)
{
    const QString path = sandbox.filesDir() + "/photo.dng";
    writeFile(path, QByteArray("II*\0", 4) + QByteArray(4000, 'd'));
    auto job = jobAt(path);
    auto worker = std::make_shared<DnglabWorker>(true);
    worker->setJob(job);
    EXPECT_EQ(QCoro::waitFor(worker->run()), std::nullopt);
    EXPECT_TRUE(sandbox.logged("[DnglabWorker] no usable output at "));
    sandbox.writeScript(sandbox.bundledDir() + "/dnglab", "echo nope >&2\nexit 4");
    EXPECT_EQ(QCoro::waitFor(worker->run()), std::nullopt);
    EXPECT_TRUE(sandbox.logged("[DnglabWorker] exit=4 stdout=[] stderr=[nope\n]"));
    EXPECT_FALSE(job->optimizedSize());
}
