// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QCoroTask>
#include <QDir>
#include <QList>
#include <QUrl>

#include <functional>

class MainView;
class OptimizationJob;
class QQuickItem;
class QQuickWindow;

// Walks the window through the states a reviewer looks at and saves one PNG
// of each.
class ScreenshotTour {
public:
    ScreenshotTour(MainView& view, QQuickWindow& window, QDir out, QList<QUrl> images);
    QCoro::Task<> run();

private:
    QCoro::Task<> settle(int milliseconds);
    void shot(const QString& name);
    // Saves the whole screen once a modal dialog is up, then dismisses it.
    void answerModalWithShot(const QString& name);
    void scrollGridToEnd();
    QQuickItem* item(const char* name) const;
    int rowWhere(const std::function<bool(const OptimizationJob&)>& wanted) const;
    QCoro::Task<> noImagesState();
    QCoro::Task<> settingsStates();
    QCoro::Task<> watchedFolderStates();
    // Tab through the settings as a keyboard user does, with a shot wherever the ring reaches a kind of control.
    QCoro::Task<> focusWalk(QString prefix);
    QCoro::Task<> batchStates();
    QCoro::Task<> stackStates();
    QCoro::Task<> restoreStates();
    void panelCloseUp(const QString& name);
    // The panel over made-up figures, too many to reach by a batch here.
    QCoro::Task<> largeFiguresPanel(QString name, qint64 finished, qint64 total, qint64 saved, qint64 original);
    QCoro::Task<> dashboardStates();
    QCoro::Task<> darkStates();
    QCoro::Task<> stoppedStates();
    QCoro::Task<> watchedBatchState();
    QCoro::Task<> startBatch(QString exportFolder);

    MainView& view_;
    QQuickWindow& window_;
    QDir out_;
    QList<QUrl> images_;
};
