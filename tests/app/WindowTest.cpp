// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "WindowTest.h"
#include "NotificationDaemon.h"
#include "app/ResultActions.h"
#include "app/SceneItems.h"
#include "app/SingleInstance.h"

#include "app/WindowSetup.h"
#include "jobs/ExportFolderBookmark.h"
#include "platform/ByteCountFormatter.h"
#include "platform/FolderWatchLock.h"
#include "platform/KeyValueStore.h"
#include "store/SessionListModel.h"
#include "store/StatisticsTracker.h"
#include "workers/ToolLocator.h"

#include <QAbstractItemModelTester>
#include <QDirIterator>
#include <QImage>
#include <QMimeData>
#include <QProcess>
#include <QQuickItem>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QThreadPool>
#include <QtTest>

namespace {
const QString warning = QStringLiteral("Replace original files?|%1|Optimize");
// The in-place question for so many images.
QString replaceWarning(const char* images)
{
    return warning.arg(QString::fromLatin1(images)
                       + " will be optimized in place. Originals are moved to Trash so you can undo if needed.");
}
const QString exportPrompt = QStringLiteral("folder|Choose where to save optimized images|Select Export Folder");

void resetSettings()
{
    for (const QString& key :
         {UserPreferences::operationModeKey, UserPreferences::exportPathKey, UserPreferences::warnBeforeReplacingKey,
          UserPreferences::compressionPresetKey, ExportFolderBookmark::key, UserPreferences::watchedFoldersKey,
          UserPreferences::watchingPausedKey})
        KeyValueStore::standard().remove(key);
}
} // namespace

void WindowTest::init()
{
    resetSettings();
    prompts_ = StubPrompts();
    work_ = std::make_unique<QTemporaryDir>();
    notices_ = std::make_unique<ToolNotices>();
    view_ = std::make_unique<MainView>(prompts_, 2, std::chrono::milliseconds(300));
    view_->setOperationMode(0);
    updater_ = std::make_unique<Updater>(QUrl(), QString());
    engine_ = std::make_unique<QQmlApplicationEngine>();
    QVERIFY(WindowSetup::load(*engine_, *view_, *updater_, *notices_));
    window_ = qobject_cast<QQuickWindow*>(engine_->rootObjects().constFirst());
    QVERIFY(window_);
    QVERIFY(QTest::qWaitForWindowExposed(window_));
}

void WindowTest::cleanup()
{
    QTRY_VERIFY(!view_->isTakingIn());
    QTRY_VERIFY_WITH_TIMEOUT(!view_->jobQueue()->isProcessing(), 60000);
    engine_.reset();
    view_.reset();
    notices_.reset();
}

QObject* WindowTest::find(const char* name) const
{
    if (auto* object = window_->findChild<QObject*>(QString::fromLatin1(name)))
        return object;
    return SceneItems::find(*window_, name);
}

bool WindowTest::pageReady(const char* page) const
{
    const QObject* loader = find(page);
    return loader && loader->property("status").toInt() == 1 && loader->property("item").value<QObject*>();
}

QList<QObject*> WindowTest::findAll(const char* name) const
{
    QList<QObject*> found;
    for (QQuickItem* item : SceneItems::findAll(*window_, name))
        found.append(item);
    return found;
}

QString WindowTest::copyImages(const QStringList& names, const QString& sub)
{
    const QString dir = QDir(work_->path()).filePath(sub);
    QDir().mkpath(dir);
    for (const QString& name : names) {
        const QString target = QDir(dir).filePath(QFileInfo(name).fileName());
        QFile::copy(QStringLiteral(PRESSLY_TEST_DATA "/") + name, target);
        QFile(target).setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    }
    return dir;
}

void WindowTest::drop(const QList<QUrl>& urls)
{
    QMimeData data;
    data.setUrls(urls);
    const QPointF at(window_->width() / 2.0, window_->height() / 2.0);
    QDragEnterEvent enter(at.toPoint(), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(window_, &enter);
    QDragMoveEvent move(at.toPoint(), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(window_, &move);
    QVERIFY(view_->isDropTargeted());
    QDropEvent dropped(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(window_, &dropped);
}

void WindowTest::dropReachesQueueInOrder()
{
    const QString folder = copyImages({"png/pingus-flag3.png", "jpeg/pingus-rocktile.jpg"}, "folder");
    const QString loose = copyImages({"png/debian-debian.png", "svg/twemoji-1f534.svg"});
    const QList<QUrl> urls{QUrl::fromLocalFile(folder), QUrl::fromLocalFile(loose + "/twemoji-1f534.svg"),
                           QUrl::fromLocalFile(loose + "/debian-debian.png")};
    QAbstractItemModelTester tester(view_->jobs(), QAbstractItemModelTester::FailureReportingMode::QtTest);
    drop(urls);
    QTRY_COMPARE(view_->jobs()->count(), 4);
    QStringList names;
    for (const auto& job : view_->jobQueue()->jobs())
        names << job->fileName();
    QCOMPARE(names, QStringList({"pingus-flag3.png", "pingus-rocktile.jpg", "twemoji-1f534.svg", "debian-debian.png"}));
    QCOMPARE(prompts_.asked, QStringList{replaceWarning("4 images")});
    QTRY_VERIFY_WITH_TIMEOUT(!view_->jobQueue()->isProcessing(), 60000);
    for (int row = 0; row < 4; ++row)
        QCOMPARE(view_->jobs()->index(row).data(JobListModel::StatusRole).value<JobListModel::Status>(),
                 JobListModel::Status::Completed);
}

void WindowTest::exportPromptCancelledAddsNothingAndAsksAgain()
{
    view_->setOperationMode(1);
    const QString image = copyImages({"png/pingus-flag3.png"}) + "/pingus-flag3.png";
    for (int attempt = 1; attempt <= 2; ++attempt) {
        drop({QUrl::fromLocalFile(image)});
        QTRY_COMPARE(prompts_.asked.size(), attempt);
        QCOMPARE(prompts_.asked.last(), exportPrompt);
    }
    QTest::qWait(50);
    QCOMPARE(view_->jobs()->count(), 0);
    QCOMPARE(view_->preferences()->exportPath(), QString());
    QVERIFY(!KeyValueStore::standard().contains(ExportFolderBookmark::key));

    // Once a folder is chosen, the next drop goes straight to it.
    prompts_.folderAnswer = work_->filePath("out");
    QDir().mkpath(*prompts_.folderAnswer);
    drop({QUrl::fromLocalFile(image)});
    QTRY_COMPARE(view_->jobs()->count(), 1);
    drop({QUrl::fromLocalFile(image)});
    QTRY_COMPARE(view_->jobs()->count(), 2);
    QCOMPARE(prompts_.asked.size(), 3);
    QCOMPARE(view_->configuration()->exportPath(), *prompts_.folderAnswer);
}

// A drag of several files is one drop: one question covers them all, and a
// drop with no image asks nothing and says why nothing happens.
void WindowTest::oneQuestionPerDrop_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QStringList>("asked");
    QTest::addColumn<int>("queued");
    QTest::addColumn<QString>("notice");
    const QStringList three{"png/pingus-flag3.png", "png/debian-debian.png", "jpeg/pingus-rocktile.jpg"};
    QTest::newRow("three in place") << 0 << three << QStringList{replaceWarning("3 images")} << 3 << QString();
    // The chooser is cancelled: asked once, not once for each file.
    QTest::newRow("five to export, no folder yet")
        << 1 << three + QStringList{"svg/twemoji-1f534.svg", "png/pidgin-pidgin-logo.png"} << QStringList{exportPrompt}
        << 0 << QString();
    QTest::newRow("two texts") << 0 << QStringList{"notes.txt", "readme.txt"} << QStringList{} << 0
                               << "No images to optimize (2 files skipped: not a supported image)";
    QTest::newRow("one text") << 1 << QStringList{"notes.txt"} << QStringList{} << 0
                              << "No images to optimize (1 file skipped: not a supported image)";
}

void WindowTest::oneQuestionPerDrop()
{
    QFETCH(int, mode);
    QFETCH(QStringList, names);
    QFETCH(QStringList, asked);
    QFETCH(int, queued);
    QFETCH(QString, notice);
    view_->setOperationMode(mode);
    QList<QUrl> urls;
    for (const QString& name : names) {
        const QString path = work_->filePath(QFileInfo(name).fileName());
        if (name.endsWith(".txt"))
            QFile(path).open(QIODevice::WriteOnly);
        else
            copyImages({name});
        urls.append(QUrl::fromLocalFile(path));
    }
    drop(urls);
    QTRY_VERIFY(!view_->isTakingIn());
    QCOMPARE(prompts_.asked, asked);
    QTRY_COMPARE(view_->jobs()->count(), queued); // the queue reads the files on a pool first
    QCOMPARE(view_->intakeNotice(), notice);
    QCOMPARE(find("intakeNoticeText")->property("text").toString(), notice);
}

// Launchers and file managers hand files to the open window; while it asks,
// they wait and are asked about once, right after, in one more question.
void WindowTest::handOversWhileAskingJoinOneQuestion()
{
    QTemporaryDir runtime;
    QFile::setPermissions(runtime.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    SingleInstance instance(runtime.filePath("pressly-pro.socket"));
    QCOMPARE(instance.claim({}), SingleInstance::Role::primary);
    connect(&instance, &SingleInstance::filesReceived, view_.get(), &MainView::handleDrop); // as main() does
    QSignalSpy received(&instance, &SingleInstance::filesReceived);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_RUNTIME_DIR", runtime.path());
    std::vector<std::unique_ptr<QProcess>> launches;
    const auto launch = [&](const QString& file) {
        launches.push_back(std::make_unique<QProcess>());
        launches.back()->setProcessEnvironment(env);
        launches.back()->start(QStringLiteral(PRESSLY_APP_BINARY), {file});
    };
    const QString first = copyImages({"png/pingus-flag3.png"}, "first") + "/pingus-flag3.png";
    const QString later = copyImages({"png/debian-debian.png", "jpeg/pingus-rocktile.jpg", "svg/twemoji-1f534.svg"},
                                     "later");
    const QStringList laterNames = QDir(later).entryList(QDir::Files);
    prompts_.whileAsking = [&] {
        for (const QString& name : laterNames)
            launch(QDir(later).filePath(name));
        QTRY_COMPARE_WITH_TIMEOUT(received.size(), 1 + laterNames.size(), 30000);
        // Their walks end on the pool and are told through the event loop.
        QThreadPool::globalInstance()->waitForDone(10000);
        QTest::qWait(50);
    };
    launch(first);
    QTRY_COMPARE_WITH_TIMEOUT(view_->jobs()->count(), 1 + int(laterNames.size()), 30000);
    for (const auto& process : launches) {
        QTRY_COMPARE(process->state(), QProcess::NotRunning);
        QCOMPARE(process->exitCode(), 0);
    }
    QCOMPARE(prompts_.mostOpenAtOnce, 1);
    QCOMPARE(prompts_.asked, QStringList({replaceWarning("1 image"), replaceWarning("3 images")}));
    QStringList queued;
    for (const auto& job : view_->jobQueue()->jobs())
        queued << job->fileName();
    queued.sort();
    QCOMPARE(queued,
             QStringList({"debian-debian.png", "pingus-flag3.png", "pingus-rocktile.jpg", "twemoji-1f534.svg"}));
}

// However files come in, from another page the Files page shows them.
void WindowTest::dropOnOtherTabShowsFiles_data()
{
    QTest::addColumn<int>("tab");
    QTest::addColumn<int>("way"); // 0 a drop, 1 Ctrl+O, 2 Ctrl+Shift+O
    QTest::newRow("drop on statistics") << int(MainView::Statistics) << 0;
    QTest::newRow("drop on settings") << int(MainView::OptimizationSettings) << 0;
    QTest::newRow("Ctrl+O on settings") << int(MainView::OptimizationSettings) << 1;
    QTest::newRow("Ctrl+Shift+O on statistics") << int(MainView::Statistics) << 2;
}

void WindowTest::dropOnOtherTabShowsFiles()
{
    QFETCH(int, tab);
    QFETCH(int, way);
    prompts_.confirmAnswer = false;
    const QString dir = copyImages({"png/pingus-flag3.png"});
    prompts_.filesAnswer = {QUrl::fromLocalFile(dir + "/pingus-flag3.png")};
    prompts_.imageFolderAnswer = QUrl::fromLocalFile(dir);
    view_->setSelectedTab(tab);
    if (way == 0)
        drop({QUrl::fromLocalFile(dir)});
    else
        QTest::keyClick(window_, Qt::Key_O, way == 1 ? Qt::ControlModifier : Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(view_->selectedTab(), int(MainView::Files));
    QTRY_VERIFY(find("browseButton"));
    QTRY_COMPARE(prompts_.asked.size(), 1);
    QTest::qWait(50);
    QCOMPARE(view_->jobs()->count(), 0); // declined: nothing queued
}

void WindowTest::settingsPaneConditions()
{
    view_->setSelectedTab(MainView::OptimizationSettings);
    QTRY_VERIFY(pageReady("settingsPage"));
    auto visible = [this](const char* name) { return find(name)->property("visible").toBool(); };
    QTRY_VERIFY(visible("warnSwitch")); // once the pane has faded in
    QVERIFY(!visible("folderRow"));

    view_->setOperationMode(1);
    QVERIFY(!visible("warnSwitch"));
    QVERIFY(visible("folderRow"));
    QCOMPARE(find("folderRowText")->property("text").toString(),
             QStringLiteral("Not set — will prompt on first export"));
    QCOMPARE(view_->preferences()->operationModeRaw(), QStringLiteral("exportToFolder"));
    // Without a feed the update controls and the menu's action are off, said once why, and drawn so.
    QVERIFY(!find("checkForUpdatesAction")->property("enabled").toBool());
    QVERIFY(!find("autoUpdateSwitch")->property("enabled").toBool());
    QVERIFY(!find("autoUpdateSwitch")->property("checked").toBool());
    QVERIFY(!find("checkUpdatesButton")->property("enabled").toBool());
    QVERIFY(visible("noUpdateFeed"));
    auto* palette = find("checkUpdatesButton")->property("palette").value<QObject*>();
    const auto buttonText = [palette](const char* group) {
        return palette->property(group).value<QObject*>()->property("buttonText").value<QColor>();
    };
    QVERIFY(buttonText("disabled") != buttonText("active"));

    // A cancelled "Change" leaves the row, the preference and the configuration.
    view_->preferences()->setExportPath("/srv/photos");
    view_->configuration()->setExportPath("/srv/photos");
    view_->changeExportFolder();
    QCOMPARE(prompts_.asked, QStringList{"folder||Choose"});
    QCOMPARE(find("folderRowText")->property("text").toString(), QStringLiteral("/srv/photos"));
    QCOMPARE(view_->configuration()->exportPath(), QStringLiteral("/srv/photos"));
    QVERIFY(!KeyValueStore::standard().contains(ExportFolderBookmark::key));

    for (const auto& [stored, marked] :
         {std::pair{"maximum", "preset-maximum"}, std::pair{"Lossless", "preset-balanced"}}) {
        KeyValueStore::standard().setValue(UserPreferences::compressionPresetKey, QString::fromLatin1(stored));
        view_->preferences()->compressionPresetRawChanged();
        for (const char* card : {"preset-lossless", "preset-balanced", "preset-maximum"})
            QCOMPARE(find(card)->property("selected").toBool(), qstrcmp(card, marked) == 0);
    }
}

void WindowTest::optimizesInPlaceWithOriginalsInTrash()
{
    const QStringList images{"png/pingus-flag3.png", "png/imagemagick-objects.png", "jpeg/skimage-rocket.jpg",
                             "odd/skimage-truncated.jpg"};
    auto* sessions = view_->dashboard()->sessions();
    const int sessionsBefore = sessions->rowCount();
    const qint64 photosBefore = StatisticsTracker::shared().totalFilesProcessed();
    const QString dir = copyImages(images, "in place");
    drop({QUrl::fromLocalFile(dir)});
    QTRY_COMPARE(view_->jobs()->count(), 4);
    QTRY_VERIFY_WITH_TIMEOUT(!view_->jobQueue()->isProcessing(), 60000);
    const QString trash = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + "/Trash/files/";
    for (const auto& job : view_->jobQueue()->jobs()) {
        const QString name = job->fileName();
        const QString original = QStringLiteral(PRESSLY_TEST_DATA "/") + images.filter("/" + name).constFirst();
        if (name == "skimage-truncated.jpg") { // damaged: failed, untouched, and told
            QCOMPARE(job->statusText(), QStringLiteral("failed"));
            QCOMPARE(QFileInfo(dir + "/" + name).size(), QFileInfo(original).size());
            continue;
        }
        QCOMPARE(job->statusText(), QStringLiteral("completed"));
        QVERIFY2(job->optimizedSize() && *job->optimizedSize() < job->originalSize(), qPrintable(name));
        QCOMPARE(QFileInfo(dir + "/" + name).size(), *job->optimizedSize());
        const QString trashed = job->revertLocation().toLocalFile();
        QVERIFY2(trashed.startsWith(trash), qPrintable(trashed));
        QCOMPARE(QFileInfo(trashed).size(), QFileInfo(original).size());
    }
    QTRY_VERIFY(pageReady("filesPage"));
    QTRY_COMPARE(find("batchSummary")->property("text").toString(),
                 QStringLiteral("1 file could not be optimized — open the marked cards to see why."));
    // Each card ends with its job's badge: a check for a saving, a cross for the failure.
    const auto cards = findAll("pileCard");
    QCOMPARE(cards.size(), 4);
    for (QObject* card : cards) {
        const bool failed = card->property("fileURL").toUrl().fileName() == "skimage-truncated.jpg";
        QCOMPARE(card->property("statusText").toString(), failed ? "failed" : "completed");
        QTRY_COMPARE(card->findChild<QObject*>("checkBadge")->property("visible").toBool(), !failed);
        QTRY_COMPARE(card->findChild<QObject*>("failBadge")->property("visible").toBool(), failed);
        if (!failed)
            QTRY_COMPARE(card->property("pictureStatus").toInt(), 1); // Image.Ready
    }
    // The panel and the dashboard tell the queue's figures.
    const JobQueue& queue = *view_->jobQueue();
    const StatsPanel& panel = *view_->statsPanel();
    QCOMPARE(panel.finishedCount(), 4);
    QCOMPARE(panel.failedCount(), 1);
    QCOMPARE(panel.progress(), 1.0);
    qint64 before = 0;
    for (const auto& job : queue.completedJobs())
        before += job->originalSize();
    QCOMPARE(panel.savingsShare(), double(queue.totalBytesSaved()) / double(before));
    QCOMPARE(find("gauge")->property("savedBytes").toLongLong(), queue.totalBytesSaved());
    QCOMPARE(find("jobCount")->property("text").toString(), QStringLiteral("of 4"));
    QCOMPARE(find("failedLine")->property("text").toString(), QStringLiteral("1 failed"));
    QTRY_COMPARE(sessions->rowCount(), sessionsBefore + 1);
    view_->setSelectedTab(MainView::Statistics);
    QTRY_VERIFY(find("session-0"));
    const QModelIndex newest = sessions->index(0, 0);
    QCOMPARE(newest.data(SessionListModel::ImageCountRole).toLongLong(), 4);
    QCOMPARE(view_->dashboard()->totalPhotosText(), QString::number(photosBefore + 4));
    QCOMPARE(newest.data(SessionListModel::TotalSavedBytesRole).toLongLong(), queue.totalBytesSaved());
    // A restored original takes its saving back from every figure that counted it.
    const qint64 batchSaved = queue.totalBytesSaved();
    const qint64 allTimeSaved = StatisticsTracker::shared().totalBytesSaved();
    const qint64 saving = JobQueue::savingInBytes(*queue.jobs().constFirst());
    QVERIFY(saving > 0);
    ResultActions actions(*view_->jobs());
    QVERIFY(QCoro::waitFor(actions.restore(0)).ok);
    QCOMPARE(queue.totalBytesSaved(), batchSaved - saving);
    QCOMPARE(panel.savedBytes(), batchSaved - saving);
    QCOMPARE(panel.savingsShare(), double(batchSaved - saving) / double(before));
    QCOMPARE(StatisticsTracker::shared().totalBytesSaved(), allTimeSaved - saving);
}

void WindowTest::exportWritesWholeFileOrNone()
{
    StatisticsTracker::shared().insertSession(0, SessionRecord{});
    const QByteArray csv = StatisticsTracker::shared().exportCSV().toUtf8();
    QFile(work_->filePath("plain")).open(QIODevice::WriteOnly);
    struct Case {
        std::optional<QString> answer;
        bool written;
    };
    const Case cases[] = {{work_->filePath("out/sessions.csv"), true},
                          {work_->filePath("missing/sessions.csv"), false},
                          {work_->filePath("plain/sessions.csv"), false},
                          {std::nullopt, false}};
    QDir().mkpath(work_->filePath("out"));
    for (const Case& c : cases) {
        prompts_ = StubPrompts();
        prompts_.saveAnswer = c.answer;
        view_->dashboard()->exportSessions();
        QCOMPARE(prompts_.asked, QStringList{"save|Pressly_Sessions.csv"});
        QCOMPARE(prompts_.told.size(), c.written || !c.answer ? 0 : 1);
        if (!c.answer)
            continue;
        QFile file(*c.answer);
        QCOMPARE(file.exists(), c.written);
        if (c.written)
            QVERIFY(file.open(QIODevice::ReadOnly) && file.readAll() == csv);
        // Nothing half-written is left beside it.
        QCOMPARE(QDir(QFileInfo(*c.answer).path()).entryList(QDir::Files | QDir::Hidden),
                 c.written ? QStringList{"sessions.csv"} : QStringList{});
    }
}

void WindowTest::quitMidBatchLeavesEveryFileWhole()
{
    // A slow stand-in for oxipng that notes its process and hands over to the real one.
    const QString tools = work_->filePath("tools/BundledTools/bin");
    const QString pids = work_->filePath("pids");
    QDir().mkpath(tools);
    QFile script(tools + "/oxipng");
    QVERIFY(script.open(QIODevice::WriteOnly));
    script.write("#!/bin/sh\necho $$ >> '" + pids.toUtf8() + "'\nsleep 600 &\necho $! >> '" + pids.toUtf8()
                 + "'\nwait\nexec '" PRESSLY_BINARY_DIR "/share/pressly-pro/BundledTools/bin/oxipng' \"$@\"\n");
    script.close();
    script.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    ToolLocator::overrideResourcesDir(work_->filePath("tools"));
    const auto restore = qScopeGuard([] { ToolLocator::overrideResourcesDir(std::nullopt); });
    view_->setPreset("lossless");
    const QStringList images{"png/pidgin-pidgin-logo.png", "png/imagemagick-radial-gradient.png",
                             "png/adwaita-24x24-legacy-view-restore.png", "png/debian-debian.png"};
    const QString dir = copyImages(images, "quit");

    drop({QUrl::fromLocalFile(dir)});
    QTRY_VERIFY_WITH_TIMEOUT(QFile(pids).size() > 0 && view_->jobQueue()->processingJobs().size() == 2, 20000);
    // The application's loop runs until the window quits it; then all must be settled.
    QTimer::singleShot(0, view_.get(), [this] { view_->requestQuit(); });
    QTimer guard;
    bool timedOut = false;
    connect(&guard, &QTimer::timeout, [&] {
        timedOut = true;
        QCoreApplication::quit();
    });
    // Far below a tool's own time-out (60 s): a busy machine's slow quit is told from one that waits for a
    // tool, such as one started after the quit stopped the others.
    guard.start(30000);
    QCoreApplication::exec();
    QVERIFY(!timedOut);
    QCOMPARE(prompts_.asked.last(), QStringLiteral("Stop optimizing and quit?|Files not yet optimized stay as they "
                                                   "are.|Quit"));

    QDirIterator working(QDir::tempPath(), {"Pressly.*"}, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    QVERIFY2(!working.hasNext(), qPrintable(working.next()));
    QFile list(pids);
    QVERIFY(list.open(QIODevice::ReadOnly));
    const auto alive = [](const QByteArray& pid) { // a zombie waiting for its reaper is not
        QFile stat("/proc/" + pid + "/stat");
        const QByteArray text = stat.open(QIODevice::ReadOnly) ? stat.readAll() : QByteArray();
        return !text.isEmpty() && text.mid(text.lastIndexOf(')') + 2, 1) != "Z";
    };
    // Signalled, each is gone once the scheduler lets it run; none outlives its 30 s by itself.
    for (const QByteArray& pid : list.readAll().split('\n'))
        QTRY_VERIFY2_WITH_TIMEOUT(pid.isEmpty() || !alive(pid), pid.constData(), 5000);
    for (const QString& image : images) {
        const QString name = QFileInfo(image).fileName();
        QFile original(QStringLiteral(PRESSLY_TEST_DATA "/") + image), now(dir + "/" + name);
        QVERIFY(original.open(QIODevice::ReadOnly) && now.open(QIODevice::ReadOnly));
        const QByteArray before = original.readAll(), after = now.readAll();
        QVERIFY2(after == before || (after.size() < before.size() && !QImage::fromData(after).isNull()),
                 qPrintable(name));
    }
    QCOMPARE(QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot).size(), images.size());
}

QString WindowTest::focusedName() const
{
    return window_->activeFocusItem() ? window_->activeFocusItem()->objectName() : QString();
}

bool WindowTest::tabTo(const char* name)
{
    for (int step = 0; step < 40; ++step) {
        QTest::keyClick(window_, Qt::Key_Tab);
        if (focusedName() == QLatin1String(name))
            return true;
    }
    return false;
}

// Settings, a preset, files by Ctrl+O, a card enlarged and closed: with keys alone.
void WindowTest::keyboardAlone()
{
    window_->requestActivate();
    QVERIFY(QTest::qWaitForWindowActive(window_));
    QVERIFY(tabTo("tab-Settings"));
    QTest::keyClick(window_, Qt::Key_Space);
    QCOMPARE(view_->selectedTab(), int(MainView::OptimizationSettings));
    QTRY_VERIFY(pageReady("settingsPage"));
    QTRY_VERIFY(!find("dropZonePage")->property("visible").toBool()); // faded out, so out of the Tab chain
    QVERIFY(tabTo("preset-maximum"));
    QTest::keyClick(window_, Qt::Key_Return);
    QCOMPARE(view_->preferences()->compressionPresetRaw(), QStringLiteral("maximum"));

    const QString dir = copyImages({"png/pingus-flag3.png", "jpeg/pingus-rocktile.jpg"});
    prompts_.filesAnswer = {QUrl::fromLocalFile(dir + "/pingus-flag3.png"),
                            QUrl::fromLocalFile(dir + "/pingus-rocktile.jpg")};
    QTest::keyClick(window_, Qt::Key_O, Qt::ControlModifier);
    QTRY_COMPARE(view_->jobs()->count(), 2);
    QVERIFY(tabTo("tab-Files"));
    QTest::keyClick(window_, Qt::Key_Space);
    QTRY_VERIFY(pageReady("filesPage"));
    QTRY_VERIFY(!find("settingsPage")->property("visible").toBool());
    QVERIFY(tabTo("pile"));
    // Arrows go from card to card, in the pile as in the grid; a card with the keyboard is read out.
    const auto focusedFile = [this] { return window_->activeFocusItem()->property("fileName").toString(); };
    QTest::keyClick(window_, Qt::Key_Right);
    QCOMPARE(focusedFile(), QStringLiteral("pingus-rocktile.jpg"));
    QTest::keyClick(window_, Qt::Key_Up);
    QCOMPARE(focusedFile(), QStringLiteral("pingus-flag3.png"));
    QTest::keyClick(window_, Qt::Key_Return);
    // The grid hands the keyboard on to its current card.
    const auto gridHasKeys = [this] {
        return find("photoGrid") && find("photoGrid")->property("activeFocus").toBool();
    };
    QTRY_VERIFY(gridHasKeys());
    QTest::keyClick(window_, Qt::Key_End);
    QTest::keyClick(window_, Qt::Key_Left);
    QCOMPARE(find("photoGrid")->property("currentIndex").toInt(), 0);
    QTest::keyClick(window_, Qt::Key_Right);
    QCOMPARE(find("photoGrid")->property("currentIndex").toInt(), 1);
    QTest::keyClick(window_, Qt::Key_Return);
    auto* stack = find("photoStack");
    QCOMPARE(stack->property("heroRow").toInt(), 1);
    QTRY_VERIFY(find("heroView"));
    QTest::keyClick(window_, Qt::Key_Escape);
    QCOMPARE(stack->property("heroRow").toInt(), -1);
    QTRY_VERIFY(gridHasKeys());
}

// Folders added in the settings: images written into one become cards with
// their results, each optimized once (our own replacements do not bring them
// back), told in one notification while the window is minimised. One that
// another process watches is shown so and left alone.
void WindowTest::watchedFolderOptimizesArrivalsOnce()
{
    const QString watched = copyImages({}, "watched"), held = copyImages({}, "held");
    const auto service = FolderWatchLock::take(held);
    QVERIFY(service);
    view_->setSelectedTab(MainView::OptimizationSettings);
    QTRY_VERIFY(pageReady("settingsPage"));
    prompts_.folderAnswer = watched;
    QVERIFY(QMetaObject::invokeMethod(find("addWatchedFolder"), "clicked"));
    prompts_.folderAnswer = held;
    view_->addWatchedFolder();
    QCOMPARE(prompts_.asked.size(), 2);
    const WatchedFolderList& folders = *view_->watchedFolders();
    QCOMPARE(folders.count(), 2);
    QTRY_VERIFY(find("watchedFolder-held"));
    QCOMPARE(folders.index(1).data(WatchedFolderList::StateTextRole).toString(),
             QStringLiteral("Watched by the background service"));
    QCOMPARE(folders.index(0).data(WatchedFolderList::StateTextRole).toString(), QStringLiteral("Watching"));
    QCOMPARE(view_->preferences()->watchedFolders().size(), 2);

    const QByteArray image = [] {
        QFile sample(QStringLiteral(PRESSLY_TEST_DATA "/png/pingus-flag3.png"));
        return sample.open(QIODevice::ReadOnly) ? sample.readAll() : QByteArray();
    }();
    NotificationDaemon daemon;
    const bool notifiable = daemon.start();
    window_->showMinimized();
    for (const char* name : {"a.png", "b.png"})
        for (const QString& dir : {held, watched}) {
            QFile copy(dir + "/" + name);
            QVERIFY(copy.open(QIODevice::WriteOnly));
            copy.write(image);
        }
    QTRY_COMPARE_WITH_TIMEOUT(view_->jobs()->count(), 2, 20000);
    QTRY_VERIFY_WITH_TIMEOUT(!view_->jobQueue()->isProcessing(), 60000);
    for (const auto& job : view_->jobQueue()->jobs()) {
        QCOMPARE(job->fileURL().toLocalFile().section('/', 0, -2), watched);
        QCOMPARE(job->statusText(), QStringLiteral("completed"));
        QVERIFY(*job->optimizedSize() < image.size());
        QCOMPARE(QFileInfo(job->fileURL().toLocalFile()).size(), *job->optimizedSize());
    }
    if (notifiable)
        QTRY_COMPARE(daemon.summaries,
                     QStringList{"Pressly Pro saved " + ByteCountFormatter::format(view_->jobQueue()->totalBytesSaved())
                                 + " in watched (2 images)"});
    QTest::qWait(1500);
    QCOMPARE(view_->jobs()->count(), 2);
    QCOMPARE(daemon.summaries.size(), notifiable ? 1 : 0);
    window_->showNormal();
    view_->setSelectedTab(MainView::Files);
    QTRY_VERIFY(pageReady("filesPage"));
    const auto cards = findAll("pileCard");
    QCOMPARE(cards.size(), 2);
    for (QObject* card : cards)
        QTRY_VERIFY(card->findChild<QObject*>("checkBadge")->property("visible").toBool());
}
