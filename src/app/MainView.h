// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/StatisticsDashboard.h"
#include "app/StatsPanel.h"
#include "app/WatchedFolderList.h"
#include "jobs/Configuration.h"
#include "jobs/JobListModel.h"
#include "jobs/JobQueue.h"
#include "jobs/UserPreferences.h"

#include <QCoroTask>
#include <QList>
#include <QObject>
#include <QUrl>

#include <memory>

class FilePrompts;

// The window's one controller: the settings, the queue and the ways files
// come in. The views bind to it and call it; it asks questions through
// `FilePrompts`.
class MainView : public QObject {
    Q_OBJECT
    Q_PROPERTY(Configuration* configuration READ configuration CONSTANT)
    Q_PROPERTY(UserPreferences* preferences READ preferences CONSTANT)
    Q_PROPERTY(JobQueue* jobQueue READ jobQueue CONSTANT)
    Q_PROPERTY(JobListModel* jobs READ jobs CONSTANT)
    Q_PROPERTY(int selectedTab READ selectedTab WRITE setSelectedTab NOTIFY selectedTabChanged)
    Q_PROPERTY(bool isDropTargeted READ isDropTargeted WRITE setDropTargeted NOTIFY isDropTargetedChanged)
    Q_PROPERTY(bool exportMode READ exportMode NOTIFY operationModeChanged)
    Q_PROPERTY(int presetIndex READ presetIndex NOTIFY presetIndexChanged)
    Q_PROPERTY(QString folderRowText READ folderRowText NOTIFY folderRowTextChanged)
    Q_PROPERTY(QStringList formats READ formats CONSTANT)
    Q_PROPERTY(int failedCount READ failedCount NOTIFY failedCountChanged)
    Q_PROPERTY(StatsPanel* statsPanel READ statsPanel CONSTANT)
    Q_PROPERTY(StatisticsDashboard* dashboard READ dashboard CONSTANT)
    Q_PROPERTY(QString intakeNotice READ intakeNotice NOTIFY intakeNoticeChanged)
    Q_PROPERTY(WatchedFolderList* watchedFolders READ watchedFolders CONSTANT)

public:
    enum SidebarTab { Files = 0, Statistics = 1, OptimizationSettings = 2 };
    Q_ENUM(SidebarTab)

    // `watchSettle`: how long a watched folder's new file must stay unchanged.
    MainView(FilePrompts& prompts, std::optional<int> maxConcurrentJobs = std::nullopt,
             std::chrono::milliseconds watchSettle = std::chrono::seconds(2), QObject* parent = nullptr);
    ~MainView() override;

    Configuration* configuration() { return &configuration_; }
    UserPreferences* preferences() { return &UserPreferences::shared(); }
    JobQueue* jobQueue() { return queue_.get(); }
    JobListModel* jobs() { return jobs_.get(); }
    int selectedTab() const { return selectedTab_; }
    bool isDropTargeted() const { return isDropTargeted_; }
    bool exportMode() const;
    int presetIndex() const;
    QString folderRowText() const;
    static QStringList formats();
    int failedCount() const { return failedCount_; }
    // Walks running, files waiting for a question, or a question open.
    bool isTakingIn() const { return intakes_ > 0 || !waiting_.isEmpty() || askQueued_ || questionsOpen_ > 0; }
    // What the last drop brought when it brought no image; empty otherwise.
    QString intakeNotice() const { return intakeNotice_; }
    StatsPanel* statsPanel() { return statsPanel_.get(); }
    StatisticsDashboard* dashboard() { return dashboard_.get(); }
    WatchedFolderList* watchedFolders() { return watchedFolders_.get(); }

    void setSelectedTab(int tab);
    void setDropTargeted(bool targeted);

    static QString replaceWarningText(qsizetype count);
    static QString noImagesText(int skipped);

    // A drop is walked as a whole and asked about once. Files that arrive
    // while a question is open wait and are asked about together after it.
    Q_INVOKABLE void handleDrop(const QList<QUrl>& items);
    Q_INVOKABLE void browseForFiles();
    Q_INVOKABLE void browseForFolder();
    // Asks once about `urls`, then queues them. Resolves once they are in the
    // queue; while another question is open they join the files waiting for
    // the next one instead.
    QCoro::Task<> startOptimizing(QList<QUrl> urls);
    Q_INVOKABLE void dismissIntakeNotice();

    Q_INVOKABLE void setOperationMode(int mode);
    Q_INVOKABLE void setPreset(const QString& raw);
    Q_INVOKABLE void changeExportFolder();
    // Chooses a folder to watch with a file chooser.
    Q_INVOKABLE void addWatchedFolder();
    // Exporting asks for the export folder first when none is set.
    Q_INVOKABLE void setWatchedFolderExporting(int row, bool exporting);
    // Asks first while jobs run; then stops the batch and quits.
    Q_INVOKABLE void requestQuit();
    Q_INVOKABLE void showAbout();

signals:
    void selectedTabChanged();
    void isDropTargetedChanged();
    void operationModeChanged();
    void presetIndexChanged();
    void folderRowTextChanged();
    void failedCountChanged();
    void intakeIdle();
    void intakeNoticeChanged();

private:
    QCoro::Task<> takeIn(QList<QUrl> items);
    void join(const QList<QUrl>& images);
    void scheduleQuestion();
    void askAboutWaiting();
    template <typename Question> auto ask(Question&& question);
    void setIntakeNotice(const QString& text);
    QCoro::Task<> quitAfterShutdown();
    void countFailures();

    FilePrompts& prompts_;
    Configuration configuration_;
    std::unique_ptr<JobQueue> queue_;
    std::unique_ptr<JobListModel> jobs_;
    std::unique_ptr<StatsPanel> statsPanel_;
    std::unique_ptr<StatisticsDashboard> dashboard_;
    std::unique_ptr<WatchedFolderList> watchedFolders_;
    int selectedTab_ = Files;
    bool isDropTargeted_ = false;
    bool quitting_ = false;
    int intakes_ = 0;
    QList<QUrl> waiting_;
    bool askQueued_ = false;
    int questionsOpen_ = 0;
    QString intakeNotice_;
    int failedCount_ = 0;
};
