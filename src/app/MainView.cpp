#include "app/MainView.h"

#include "app/DropIntake.h"
#include "app/FilePrompts.h"
#include "core/CompressionPreset.h"
#include "jobs/ExportFolderBookmark.h"
#include "store/StatisticsTracker.h"

#include <QCoreApplication>
#include <QPointer>

MainView::MainView(FilePrompts& prompts, std::optional<int> maxConcurrentJobs, QObject* parent)
    : QObject(parent),
      prompts_(prompts),
      queue_(std::make_unique<JobQueue>(configuration_, maxConcurrentJobs)),
      jobs_(std::make_unique<JobListModel>(*queue_)),
      statsPanel_(std::make_unique<StatsPanel>(*queue_, StatisticsTracker::shared())),
      dashboard_(std::make_unique<StatisticsDashboard>(StatisticsTracker::shared(), prompts))
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
    return path.isEmpty() ? QStringLiteral("Not set — will prompt on first export") : path;
}

QStringList MainView::formats()
{
    return {QStringLiteral("JPEG"), QStringLiteral("PNG"), QStringLiteral("GIF"), QStringLiteral("WebP"),
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
    return QString::number(count) + QStringLiteral(" image") + (count == 1 ? QString() : QStringLiteral("s"))
           + QStringLiteral(" will be optimized in place. Originals are moved to Trash so you can undo if needed.");
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
        takeDrop(files);
}

// A walk may outlast the view (a quit during a long walk): every resumption
// checks that the view is still there.
QCoro::Task<> MainView::takeDrop(QList<QUrl> items)
{
    QPointer<MainView> self(this);
    ++intakes_;
    for (const QUrl& item : items) {
        // No braced lists in coroutines: g++ 12 mishandles their storage.
        QList<QUrl> one;
        one.append(item);
        const QList<QUrl> found = co_await DropIntake::collectImages(one);
        if (!self)
            co_return;
        co_await startOptimizing(found);
        if (!self)
            co_return;
    }
    if (--intakes_ == 0)
        emit intakeIdle();
}

QCoro::Task<> MainView::takeChosen(QList<QUrl> items)
{
    QPointer<MainView> self(this);
    ++intakes_;
    const QList<QUrl> found = co_await DropIntake::collectImages(items);
    if (!self)
        co_return;
    co_await startOptimizing(found);
    if (self && --intakes_ == 0)
        emit intakeIdle();
}

void MainView::browseForFiles()
{
    const QList<QUrl> chosen = prompts_.chooseImageFiles();
    if (!chosen.isEmpty())
        takeChosen(chosen);
}

void MainView::browseForFolder()
{
    const QUrl chosen = prompts_.chooseImageFolder();
    QList<QUrl> items;
    items.append(chosen);
    if (!chosen.isEmpty())
        takeChosen(items);
}

QCoro::Task<> MainView::startOptimizing(QList<QUrl> urls)
{
    if (quitting_)
        co_return;
    const auto& preferences = UserPreferences::shared();
    if (!exportMode() && preferences.warnBeforeReplacing()
        && !prompts_.confirm(QStringLiteral("Replace original files?"), replaceWarningText(urls.size()),
                             QStringLiteral("Optimize")))
        co_return;
    if (exportMode() && !restoreExportFolderBookmark(configuration_)) {
        const auto folder = prompts_.chooseFolder(QStringLiteral("Choose where to save optimized images"),
                                                  QStringLiteral("Select Export Folder"));
        if (!folder || folder->isEmpty())
            co_return;
        applyChosenExportFolder(*folder, configuration_, true);
    }
    if (!quitting_)
        co_await DropIntake::addToQueue(queue_.get(), urls);
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
    const auto folder = prompts_.chooseFolder(QString(), QStringLiteral("Choose"));
    if (folder && !folder->isEmpty())
        applyChosenExportFolder(*folder, configuration_, false);
}

void MainView::requestQuit()
{
    if (quitting_)
        return;
    if (queue_->isProcessing()
        && !prompts_.confirm(QStringLiteral("Stop optimizing and quit?"),
                             QStringLiteral("Files not yet optimized stay as they are."), QStringLiteral("Quit")))
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
    prompts_.inform(QStringLiteral("About Pressly Pro"),
                    QStringLiteral("Pressly Pro %1\nMakes images smaller without changing how they look.")
                        .arg(QCoreApplication::applicationVersion()));
}

void MainView::countFailures()
{
    const int failed = int(queue_->failedJobs().size());
    if (failed == failedCount_)
        return;
    failedCount_ = failed;
    emit failedCountChanged();
}
