// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/tour/ScreenshotTour.h"

#include "app/MainView.h"
#include "app/SceneItems.h"
#include "app/WatchedFolderList.h"
#include "jobs/ExportFolderBookmark.h"
#include "jobs/OptimizationJob.h"
#include "platform/ByteCountFormatter.h"
#include "platform/FolderWatchLock.h"
#include "store/StatisticsTracker.h"

#include <QApplication>
#include <QCoroTimer>
#include <QDialog>
#include <QFile>
#include <QImage>
#include <QKeyEvent>
#include <QPalette>
#include <QQuickItem>
#include <QQuickWindow>
#include <QScreen>
#include <QTemporaryDir>
#include <QTimer>
#include <QVariantMap>

#include <algorithm>
#include <chrono>

namespace {
struct SettingsState {
    int mode;
    const char* preset;
    const char* name;
};
// Outside the coroutine: g++ 12 mishandles braced lists in coroutine frames.
const SettingsState settingsShots[] = {{0, "balanced", "05-settings-originals-balanced"},
                                       {1, "lossless", "06-settings-export-lossless"},
                                       {1, "maximum", "07-settings-export-maximum"}};
// Where the keyboard's ring is looked at: a tab of the rail, a mode card, a switch, a preset card.
const char* const focusShots[] = {"tab-Settings", "modeOriginals", "warnSwitch", "preset-balanced"};
// Days ago, images, original bytes, saved bytes.
const qint64 madeUpHistory[][4] = {
    {3, 48, 21'000'000, 9'500'000}, {30, 12, 5'400'000, 1'400'000}, {75, 230, 640'000'000, 71'000'000}};
} // namespace

ScreenshotTour::ScreenshotTour(MainView& view, QQuickWindow& window, QDir out, QList<QUrl> images)
    : view_(view), window_(window), out_(std::move(out)), images_(std::move(images))
{
}

QCoro::Task<> ScreenshotTour::settle(int milliseconds)
{
    co_await QCoro::sleepFor(std::chrono::milliseconds(milliseconds));
}

void ScreenshotTour::shot(const QString& name)
{
    window_.grabWindow().save(out_.filePath(name + QStringLiteral(".png")));
}

void ScreenshotTour::answerModalWithShot(const QString& name)
{
    QTimer::singleShot(1500, [this, name] {
        QGuiApplication::primaryScreen()->grabWindow(0).save(out_.filePath(name + QStringLiteral(".png")));
        if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
            dialog->reject();
    });
}

QCoro::Task<> ScreenshotTour::run()
{
    auto& preferences = *view_.preferences();
    preferences.setWarnBeforeReplacing(true);
    view_.setOperationMode(0);
    co_await settle(1500);
    shot(QStringLiteral("01-drop-zone"));
    view_.setDropTargeted(true);
    co_await settle(700);
    shot(QStringLiteral("02-drop-zone-targeted"));
    view_.setDropTargeted(false);

    answerModalWithShot(QStringLiteral("03-confirmation-alert"));
    co_await view_.startOptimizing(images_);
    view_.setOperationMode(1);
    answerModalWithShot(QStringLiteral("04-export-folder-prompt"));
    co_await view_.startOptimizing(images_);
    co_await noImagesState();

    co_await settingsStates();
    view_.setSelectedTab(MainView::Statistics);
    co_await settle(700);
    shot(QStringLiteral("08-dashboard-empty"));
    co_await batchStates();
    co_await dashboardStates();
    co_await darkStates();
}

// A drop that holds no image asks nothing; a notice says why nothing happens.
QCoro::Task<> ScreenshotTour::noImagesState()
{
    QTemporaryDir notes;
    QFile(notes.filePath(QStringLiteral("notes.txt"))).open(QIODevice::WriteOnly);
    QFile(notes.filePath(QStringLiteral("todo.txt"))).open(QIODevice::WriteOnly);
    QList<QUrl> dropped;
    dropped.append(QUrl::fromLocalFile(notes.path()));
    view_.handleDrop(dropped);
    co_await settle(700);
    shot(QStringLiteral("04b-no-images-notice"));
    view_.dismissIntakeNotice();
}

QCoro::Task<> ScreenshotTour::settingsStates()
{
    view_.setSelectedTab(MainView::OptimizationSettings);
    for (const auto& state : settingsShots) {
        view_.setOperationMode(state.mode);
        view_.setPreset(QString::fromLatin1(state.preset));
        co_await settle(700);
        shot(QString::fromLatin1(state.name));
    }
    // The updates section at the bottom, unavailable without a feed.
    if (auto* pane = item("settingsPane")) {
        auto* flickable = pane->property("contentItem").value<QQuickItem*>();
        if (flickable) {
            flickable->setProperty("contentY", flickable->property("contentHeight").toDouble() - flickable->height());
            co_await settle(500);
            shot(QStringLiteral("07b-settings-updates-unavailable"));
            flickable->setProperty("contentY", 0);
        }
    }
    co_await watchedFolderStates();
    co_await focusWalk(QStringLiteral("07c-focus-"));
}

// Two watched folders, the second held by the background service (a lock taken here stands in for it).
QCoro::Task<> ScreenshotTour::watchedFolderStates()
{
    const QDir base(QDir::tempPath());
    const QString screenshots = base.filePath(QStringLiteral("Screenshots"));
    const QString camera = base.filePath(QStringLiteral("Camera Uploads"));
    base.mkpath(screenshots);
    base.mkpath(camera);
    auto service = FolderWatchLock::take(camera);
    WatchedFolderList& folders = *view_.watchedFolders();
    folders.add(screenshots);
    folders.add(camera);
    folders.setPreset(1, QStringLiteral("lossless"));
    auto* pane = item("settingsPane");
    auto* flickable = pane ? pane->property("contentItem").value<QQuickItem*>() : nullptr;
    auto* section = item("watchedFolders");
    co_await settle(500);
    if (flickable && section) {
        const QPointF at = section->mapToItem(flickable->property("contentItem").value<QQuickItem*>(), QPointF());
        flickable->setProperty("contentY", std::max(0.0, at.y() - 120));
        co_await settle(500);
        shot(QStringLiteral("07d-settings-watched-folders"));
        flickable->setProperty("contentY", 0);
    }
    folders.remove(1);
    folders.remove(0);
}

QCoro::Task<> ScreenshotTour::focusWalk(QString prefix)
{
    // The warning's switch shows in place only; the mode is put back for the states after.
    const int mode = view_.configuration()->operationMode() == Configuration::OperationMode::exportToFolder ? 1 : 0;
    view_.setOperationMode(0);
    window_.requestActivate();
    co_await settle(300);
    int shots = 0;
    for (int step = 0; step < 30 && shots < int(std::size(focusShots)); ++step) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier);
        QCoreApplication::sendEvent(&window_, &press);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_Tab, Qt::NoModifier);
        QCoreApplication::sendEvent(&window_, &release);
        co_await settle(250);
        const QString focused = window_.activeFocusItem() ? window_.activeFocusItem()->objectName() : QString();
        for (const char* wanted : focusShots)
            if (focused == QLatin1String(wanted)) {
                shot(prefix + focused);
                ++shots;
            }
    }
    if (window_.activeFocusItem())
        window_.activeFocusItem()->setFocus(false);
    view_.setOperationMode(mode);
}

QQuickItem* ScreenshotTour::item(const char* name) const
{
    return SceneItems::find(window_, name);
}

void ScreenshotTour::scrollGridToEnd()
{
    if (auto* grid = item("photoGrid"))
        QMetaObject::invokeMethod(grid, "positionViewAtEnd");
}

int ScreenshotTour::rowWhere(const std::function<bool(const OptimizationJob&)>& wanted) const
{
    for (int row = view_.jobs()->count() - 1; row >= 0; --row)
        if (wanted(*view_.jobs()->jobAt(row)))
            return row;
    return -1;
}

// Drops the sample images and answers once their batch runs; its copies go into `exportFolder`.
QCoro::Task<> ScreenshotTour::startBatch(QString exportFolder)
{
    QDir().mkpath(exportFolder);
    applyChosenExportFolder(exportFolder, *view_.configuration(), true);
    view_.handleDrop(images_);
    while (!view_.jobQueue()->isProcessing())
        co_await settle(50);
}

QCoro::Task<> ScreenshotTour::batchStates()
{
    const QString exportFolder = out_.filePath(QStringLiteral("optimized"));
    co_await startBatch(exportFolder);
    co_await settle(900);
    shot(QStringLiteral("09-batch-running"));
    panelCloseUp(QStringLiteral("09b-panel-mid-batch"));
    co_await largeFiguresPanel(QStringLiteral("09c-panel-large-figures"), 1012, 1200, 999'000'000'000,
                               2'431'000'000'000);
    co_await largeFiguresPanel(QStringLiteral("09d-panel-million-files"), 1'000'000, 1'000'000, 999'000'000'000,
                               999'000'000'000);
    while (view_.jobQueue()->isProcessing())
        co_await settle(200);
    co_await settle(800);
    shot(QStringLiteral("10-batch-finished-pile"));
    view_.setDropTargeted(true);
    co_await settle(600);
    shot(QStringLiteral("11-add-more-overlay"));
    view_.setDropTargeted(false);
    co_await stackStates();
    co_await restoreStates();
    QDir(exportFolder).removeRecursively();
}

QCoro::Task<> ScreenshotTour::stackStates()
{
    QQuickItem* stack = item("photoStack");
    stack->setProperty("isFannedOut", true);
    co_await settle(1500);
    shot(QStringLiteral("12-grid"));
    scrollGridToEnd();
    co_await settle(900);
    shot(QStringLiteral("13-grid-end"));
    const auto failed = [](const OptimizationJob& job) { return job.status() == JobStatus::failed; };
    QMetaObject::invokeMethod(stack, "openHero", Q_ARG(QVariant, rowWhere(failed)));
    co_await settle(900);
    shot(QStringLiteral("14-failed-card-enlarged"));
    const auto saved = [](const OptimizationJob& job) {
        return job.status() == JobStatus::completed && job.optimizedSize() && job.fileName().endsWith(".jpg");
    };
    QMetaObject::invokeMethod(stack, "openHero", Q_ARG(QVariant, rowWhere(saved)));
    auto* zoom = stack->property("zoom").value<QObject*>();
    QMetaObject::invokeMethod(zoom, "zoomIn");
    QMetaObject::invokeMethod(zoom, "zoomIn");
    QMetaObject::invokeMethod(zoom, "dragChanged", Q_ARG(QPointF, QPointF(-120, 60)));
    co_await settle(900);
    shot(QStringLiteral("15-enlarged-zoomed"));
    QMetaObject::invokeMethod(stack, "closeHero");
    stack->setProperty("isFannedOut", false);
}

// In place this time, so that originals wait in the Trash: compare, then restore one.
QCoro::Task<> ScreenshotTour::restoreStates()
{
    view_.setOperationMode(0);
    view_.preferences()->setWarnBeforeReplacing(false);
    QList<QUrl> some;
    for (const QUrl& url : images_)
        if (url.fileName().endsWith(QLatin1String(".jpg")) || url.fileName().endsWith(QLatin1String(".png")))
            some.append(url);
    const int before = view_.jobs()->count();
    view_.handleDrop(some);
    while (view_.jobs()->count() < before + some.size() || view_.isTakingIn() || view_.jobQueue()->isProcessing())
        co_await settle(200);
    co_await settle(800);
    const auto replaced = [](const OptimizationJob& job) {
        return job.status() == JobStatus::completed && job.revertURL() && job.fileName().endsWith(".jpg");
    };
    const int row = rowWhere(replaced);
    if (row < 0)
        co_return;
    QQuickItem* stack = item("photoStack");
    QMetaObject::invokeMethod(stack, "openHero", Q_ARG(QVariant, row));
    co_await settle(600);
    item("heroView")->setProperty("comparing", true);
    co_await settle(1200);
    shot(QStringLiteral("16-comparison"));
    QMetaObject::invokeMethod(item("restoreButton"), "clicked");
    co_await settle(1500);
    shot(QStringLiteral("17-restored"));
    QMetaObject::invokeMethod(stack, "closeHero");
}

void ScreenshotTour::panelCloseUp(const QString& name)
{
    auto* panel = window_.findChild<QQuickItem*>(QStringLiteral("statsPanel"));
    if (!panel)
        return;
    const QImage whole = window_.grabWindow();
    // The grab is in device pixels (twice the scene's at QT_SCALE_FACTOR=2).
    const qreal scale = whole.devicePixelRatio();
    const QRectF area = panel->mapRectToScene(panel->boundingRect());
    const QRectF pixels(area.topLeft() * scale, area.size() * scale);
    whole.copy(pixels.toAlignedRect()).save(out_.filePath(name + QStringLiteral(".png")));
}

QCoro::Task<> ScreenshotTour::largeFiguresPanel(QString name, qint64 finished, qint64 total, qint64 saved,
                                                qint64 original)
{
    auto* panel = window_.findChild<QQuickItem*>(QStringLiteral("statsPanel"));
    if (!panel)
        co_return;
    const QLocale locale;
    const int smaller = int(finished * 9 / 10);
    const QVariantMap figures{
        {QStringLiteral("savedBytes"), saved},
        {QStringLiteral("progress"), double(finished) / double(total)},
        {QStringLiteral("isProcessing"), finished < total},
        {QStringLiteral("finishedCount"), finished},
        {QStringLiteral("jobCount"), total},
        {QStringLiteral("failedCount"), 3},
        {QStringLiteral("notOptimizedCount"), 0},
        {QStringLiteral("savingsShare"), double(saved) / double(original)},
        {QStringLiteral("savingsShareText"), locale.toString(double(saved) / double(original) * 100.0, 'f', 1)},
        {QStringLiteral("savedBytesText"), ByteCountFormatter::format(saved)},
        {QStringLiteral("originalBytesText"), ByteCountFormatter::format(original)},
        {QStringLiteral("madeSmallerText"),
         QCoreApplication::translate("StatsPanel", "Files made smaller: %1 of %Ln", nullptr, int(finished))
             .arg(locale.toString(smaller))},
        {QStringLiteral("allTimeSavedText"), ByteCountFormatter::format(saved)},
        {QStringLiteral("sinceText"), QCoreApplication::translate("StatsPanel", "Since %1")
                                          .arg(locale.toString(QDate(2025, 3, 1), QStringLiteral("MMM yyyy")))},
    };
    const QVariant real = panel->property("stats");
    panel->setProperty("stats", figures);
    co_await settle(600);
    panelCloseUp(name);
    panel->setProperty("stats", real);
}

// Earlier sessions of a made-up history, so the table shows each savings colour.
QCoro::Task<> ScreenshotTour::dashboardStates()
{
    auto& tracker = StatisticsTracker::shared();
    for (const auto& [daysAgo, images, original, saved] : madeUpHistory) {
        SessionRecord record;
        record.date = QDateTime::currentDateTimeUtc().addDays(-daysAgo);
        record.imageCount = images;
        record.optimizedCount = images - 1;
        record.totalOriginalBytes = original;
        record.totalSavedBytes = saved;
        record.runtimeSeconds = double(images) * 1.7;
        // Counted in the all-time figures too, as a real batch would be.
        tracker.addFiles(images, images - 1, saved, record);
    }
    view_.setSelectedTab(MainView::Statistics);
    co_await settle(700);
    shot(QStringLiteral("18-dashboard-sessions"));
    view_.dashboard()->sortBy(QStringLiteral("savings"));
    co_await settle(300);
    shot(QStringLiteral("18b-dashboard-by-savings"));
}

// A dark desktop: the window must stay readable.
QCoro::Task<> ScreenshotTour::darkStates()
{
    QPalette dark(QColor(0x3a, 0x3a, 0x3e), QColor(0x2b, 0x2b, 0x2e));
    dark.setColor(QPalette::WindowText, QColor(0xee, 0xee, 0xf0));
    dark.setColor(QPalette::Base, QColor(0x1e, 0x1e, 0x20));
    dark.setColor(QPalette::AlternateBase, QColor(0x33, 0x33, 0x36));
    dark.setColor(QPalette::Text, QColor(0xee, 0xee, 0xf0));
    dark.setColor(QPalette::ButtonText, QColor(0xee, 0xee, 0xf0));
    dark.setColor(QPalette::Highlight, QColor(0x0a, 0x84, 0xff));
    dark.setColor(QPalette::HighlightedText, Qt::white);
    dark.setColor(QPalette::PlaceholderText, QColor(0x90, 0x90, 0x94));
    QGuiApplication::setPalette(dark);
    view_.setSelectedTab(MainView::Statistics);
    co_await settle(700);
    shot(QStringLiteral("19-dark-dashboard"));
    view_.setSelectedTab(MainView::Files);
    co_await settle(700);
    shot(QStringLiteral("20-dark-files"));
    view_.setSelectedTab(MainView::OptimizationSettings);
    co_await settle(700);
    shot(QStringLiteral("21-dark-settings"));
    co_await focusWalk(QStringLiteral("21c-dark-focus-"));
    co_await stoppedStates();
    co_await watchedBatchState();
}

// A second batch: the settings say it keeps its own, and a Stop leaves the rest to be asked for.
QCoro::Task<> ScreenshotTour::stoppedStates()
{
    const QString exportFolder = out_.filePath(QStringLiteral("optimized-again"));
    co_await startBatch(exportFolder);
    view_.setSelectedTab(MainView::OptimizationSettings);
    co_await settle(500);
    shot(QStringLiteral("22-dark-settings-during-batch"));
    view_.statsPanel()->stop();
    view_.setSelectedTab(MainView::Files);
    co_await settle(900);
    shot(QStringLiteral("23-dark-stopped"));
    QDir(exportFolder).removeRecursively();
}

// Images copied into a watched folder make a batch of their own, with no drop; last, so no later state sees it.
QCoro::Task<> ScreenshotTour::watchedBatchState()
{
    const QString watched = out_.filePath(QStringLiteral("watched"));
    const QString exportFolder = out_.filePath(QStringLiteral("watched-optimized"));
    QDir().mkpath(watched);
    QDir().mkpath(exportFolder);
    applyChosenExportFolder(exportFolder, *view_.configuration(), true);
    WatchedFolderList& folders = *view_.watchedFolders();
    folders.add(watched);
    folders.setExporting(folders.count() - 1, true);
    co_await settle(500);
    for (const QUrl& image : std::as_const(images_))
        QFile::copy(image.toLocalFile(), QDir(watched).filePath(image.fileName()));
    for (int waited = 0; !view_.jobQueue()->isProcessing() && waited < 20'000; waited += 100)
        co_await settle(100);
    co_await settle(700);
    shot(QStringLiteral("24-dark-watched-batch"));
    while (view_.jobQueue()->isProcessing())
        co_await settle(200);
    folders.remove(folders.count() - 1);
    QDir(watched).removeRecursively();
    QDir(exportFolder).removeRecursively();
}
