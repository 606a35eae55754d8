// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/MainView.h"

#include "app/DropIntake.h"
#include "app/FilePrompts.h"
#include "core/CompressionPreset.h"
#include "jobs/ExportFolderBookmark.h"
#include "store/StatisticsTracker.h"

#include <QCoreApplication>
#include <QPointer>
#include <QScopeGuard>

#include <utility>

MainView::MainView(FilePrompts& prompts, std::optional<int> maxConcurrentJobs, std::chrono::milliseconds watchSettle,
                   QObject* parent)
    : QObject(parent), prompts_(prompts), queue_(std::make_unique<JobQueue>(configuration_, maxConcurrentJobs)),
      jobs_(std::make_unique<JobListModel>(*queue_)),
      statsPanel_(std::make_unique<StatsPanel>(*queue_, StatisticsTracker::shared())),
      dashboard_(std::make_unique<StatisticsDashboard>(StatisticsTracker::shared(), prompts)),
      watchedFolders_(std::make_unique<WatchedFolderList>(*queue_, watchSettle))
{
    auto& preferences = UserPreferences::shared();
    connect(&configuration_, &Configuration::operationModeChanged, this, &MainView::operationModeChanged);
    connect(&preferences, &UserPreferences::compressionPresetRawChanged, this, &MainView::presetIndexChanged);
    connect(&preferences, &UserPreferences::exportPathChanged, this, &MainView::folderRowTextChanged);
    connect(queue_.get(), &JobQueue::batchFinished, this, &MainView::countFailures);
}

MainView::~MainView() = default;

bool MainView::exportMode() const
{
    return configuration_.operationMode() == Configuration::OperationMode::exportToFolder;
}

int MainView::presetIndex() const
{
    return int(UserPreferences::shared().compressionPreset());
}

QString MainView::folderRowText() const
{
    const QString path = UserPreferences::shared().exportPath();
    return path.isEmpty() ? tr("Not set — will prompt on first export") : path;
}

QStringList MainView::formats()
{
    return {QStringLiteral("JPEG"), QStringLiteral("PNG"),  QStringLiteral("GIF"), QStringLiteral("WebP"),
            QStringLiteral("SVG"),  QStringLiteral("HEIC"), QStringLiteral("DNG")};
}

void MainView::setSelectedTab(int tab)
{
    if (tab < Files || tab > OptimizationSettings || tab == selectedTab_)
        return;
    selectedTab_ = tab;
    emit selectedTabChanged();
}

void MainView::setDropTargeted(bool targeted)
{
    if (targeted == isDropTargeted_)
        return;
    isDropTargeted_ = targeted;
    emit isDropTargetedChanged();
}

QString MainView::replaceWarningText(qsizetype count)
{
    return tr("%Ln images will be optimized in place. Originals are moved to Trash so you can undo if needed.", nullptr,
              int(count));
}

QString MainView::noImagesText(int skipped)
{
    if (skipped == 0)
        return tr("No images to optimize");
    // There is no English catalogue to give the singular, so it has a text of its own.
    return skipped == 1 ? tr("No images to optimize (%n file skipped: not a supported image)", nullptr, skipped)
                        : tr("No images to optimize (%n files skipped: not a supported image)", nullptr, skipped);
}

// Every question goes through here, so that files arriving while one is open
// wait for it instead of stacking a second dialog on top.
template <typename Question> auto MainView::ask(Question&& question)
{
    ++questionsOpen_;
    const auto closed = qScopeGuard([this] {
        if (--questionsOpen_ == 0)
            scheduleQuestion();
    });
    return question();
}

void MainView::handleDrop(const QList<QUrl>& items)
{
    setSelectedTab(Files);
    setDropTargeted(false);
    QList<QUrl> files;
    for (const QUrl& item : items)
        if (item.isLocalFile())
            files.append(item);
    if (!files.isEmpty())
        takeIn(files);
}

// A walk may outlast the view (a quit during a long walk): every resumption
// checks that the view is still there.
QCoro::Task<> MainView::takeIn(QList<QUrl> items)
{
    // However the files came, the user expects to see them being worked on.
    setSelectedTab(Files);
    QPointer<MainView> self(this);
    ++intakes_;
    const DropIntake::Collected found = co_await DropIntake::collectImages(items);
    if (!self)
        co_return;
    --intakes_;
    if (found.images.isEmpty())
        setIntakeNotice(noImagesText(found.skipped));
    else
        join(found.images);
    if (!isTakingIn())
        emit intakeIdle();
}

void MainView::join(const QList<QUrl>& images)
{
    setIntakeNotice(QString());
    waiting_ += images;
    scheduleQuestion();
}

// Asked from the event loop, never from inside what brought the files (a
// socket's signal, the end of a walk): a dialog's nested loop must not run
// under a caller that does not expect it.
void MainView::scheduleQuestion()
{
    if (askQueued_ || questionsOpen_ > 0 || waiting_.isEmpty())
        return;
    askQueued_ = true;
    QMetaObject::invokeMethod(this, &MainView::askAboutWaiting, Qt::QueuedConnection);
}

void MainView::askAboutWaiting()
{
    askQueued_ = false;
    if (questionsOpen_ == 0 && !waiting_.isEmpty())
        startOptimizing(std::exchange(waiting_, {}));
    if (!isTakingIn())
        emit intakeIdle();
}

void MainView::browseForFiles()
{
    const QList<QUrl> chosen = ask([this] { return prompts_.chooseImageFiles(); });
    if (!chosen.isEmpty())
        takeIn(chosen);
}

void MainView::browseForFolder()
{
    const QUrl chosen = ask([this] { return prompts_.chooseImageFolder(); });
    QList<QUrl> items;
    items.append(chosen);
    if (!chosen.isEmpty())
        takeIn(items);
}

QCoro::Task<> MainView::startOptimizing(QList<QUrl> urls)
{
    if (quitting_)
        co_return;
    if (questionsOpen_ > 0) {
        join(urls);
        co_return;
    }
    const auto& preferences = UserPreferences::shared();
    if (!exportMode() && preferences.warnBeforeReplacing() && !ask([&] {
            return prompts_.confirm(tr("Replace original files?"), replaceWarningText(urls.size()), tr("Optimize"));
        }))
        co_return;
    if (exportMode() && !restoreExportFolderBookmark(configuration_)) {
        const auto folder = ask([this] {
            return prompts_.chooseFolder(tr("Choose where to save optimized images"), tr("Select Export Folder"));
        });
        if (!folder || folder->isEmpty())
            co_return;
        applyChosenExportFolder(*folder, configuration_, true);
    }
    if (!quitting_)
        co_await DropIntake::addToQueue(queue_.get(), urls);
}

void MainView::dismissIntakeNotice()
{
    setIntakeNotice(QString());
}

void MainView::setIntakeNotice(const QString& text)
{
    if (text == intakeNotice_)
        return;
    intakeNotice_ = text;
    emit intakeNoticeChanged();
}

void MainView::setOperationMode(int mode)
{
    const auto value = mode == int(Configuration::OperationMode::exportToFolder)
                           ? Configuration::OperationMode::exportToFolder
                           : Configuration::OperationMode::optimizeOriginals;
    configuration_.setOperationMode(value);
    UserPreferences::shared().setOperationModeRaw(Configuration::toString(value));
}

void MainView::setPreset(const QString& raw)
{
    UserPreferences::shared().setCompressionPresetRaw(raw);
}

void MainView::changeExportFolder()
{
    const auto folder = ask([this] { return prompts_.chooseFolder(QString(), tr("Choose")); });
    if (folder && !folder->isEmpty())
        applyChosenExportFolder(*folder, configuration_, false);
}

void MainView::addWatchedFolder()
{
    const auto folder = ask(
        [this] { return prompts_.chooseFolder(tr("Choose a folder to watch"), tr("Watch", "button")); });
    if (folder && !folder->isEmpty())
        watchedFolders_->add(*folder);
}

void MainView::setWatchedFolderExporting(int row, bool exporting)
{
    if (exporting && !restoreExportFolderBookmark(configuration_)) {
        const auto folder = ask([this] {
            return prompts_.chooseFolder(tr("Choose where to save optimized images"), tr("Select Export Folder"));
        });
        if (!folder || folder->isEmpty())
            return;
        applyChosenExportFolder(*folder, configuration_, false);
    }
    watchedFolders_->setExporting(row, exporting);
}

void MainView::requestQuit()
{
    if (quitting_)
        return;
    if (queue_->isProcessing() && !ask([this] {
            return prompts_.confirm(tr("Stop optimizing and quit?"), tr("Files not yet optimized stay as they are."),
                                    tr("Quit"));
        }))
        return;
    quitting_ = true;
    quitAfterShutdown();
}

QCoro::Task<> MainView::quitAfterShutdown()
{
    co_await DropIntake::shutDown(*queue_);
    QCoreApplication::quit();
}

void MainView::showAbout()
{
    ask([this] {
        prompts_.inform(tr("About Pressly Pro"),
                        tr("Pressly Pro %1\nMakes images smaller without changing how they look.")
                            .arg(QCoreApplication::applicationVersion()));
    });
}

void MainView::countFailures()
{
    const int failed = int(queue_->failedJobs().size());
    if (failed == failedCount_)
        return;
    failedCount_ = failed;
    emit failedCountChanged();
}
