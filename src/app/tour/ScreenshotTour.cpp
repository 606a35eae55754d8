#include "app/tour/ScreenshotTour.h"

#include "app/MainView.h"
#include "jobs/ExportFolderBookmark.h"

#include <QApplication>
#include <QCoroTimer>
#include <QDialog>
#include <QQuickItem>
#include <QQuickWindow>
#include <QScreen>
#include <QTimer>

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

    co_await settingsStates();
    view_.setSelectedTab(MainView::Statistics);
    co_await settle(700);
    shot(QStringLiteral("08-statistics"));
    co_await batchStates();
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
}

void ScreenshotTour::scrollListToEnd()
{
    // The list sits in a Loader, outside the QObject tree: walk the items.
    QList<QQuickItem*> items{window_.contentItem()};
    while (!items.isEmpty()) {
        QQuickItem* item = items.takeLast();
        if (item->objectName() == QLatin1String("jobList"))
            QMetaObject::invokeMethod(item, "positionViewAtEnd");
        items.append(item->childItems());
    }
}

QCoro::Task<> ScreenshotTour::batchStates()
{
    const QString exportFolder = out_.filePath(QStringLiteral("optimized"));
    QDir().mkpath(exportFolder);
    applyChosenExportFolder(exportFolder, *view_.configuration(), true);
    view_.handleDrop(images_);
    while (!view_.jobQueue()->isProcessing())
        co_await settle(50);
    co_await settle(900);
    shot(QStringLiteral("09-batch-running"));
    while (view_.jobQueue()->isProcessing())
        co_await settle(200);
    co_await settle(800);
    shot(QStringLiteral("10-batch-finished"));
    scrollListToEnd();
    co_await settle(400);
    shot(QStringLiteral("10b-batch-finished-end-of-list"));
    view_.setDropTargeted(true);
    co_await settle(600);
    shot(QStringLiteral("11-add-more-overlay"));
    view_.setDropTargeted(false);
    QDir(exportFolder).removeRecursively();
}
