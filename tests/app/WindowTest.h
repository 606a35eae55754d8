// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "StubPrompts.h"
#include "app/MainView.h"
#include "app/ToolNotices.h"
#include "app/Updater.h"

#include <QObject>
#include <QQmlApplicationEngine>
#include <QQuickWindow>
#include <QTemporaryDir>

#include <memory>

// The real window, offscreen: drops sent as events, answers given by StubPrompts.
class WindowTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void dropReachesQueueInOrder();
    void exportPromptCancelledAddsNothingAndAsksAgain();
    void oneQuestionPerDrop_data();
    void oneQuestionPerDrop();
    void handOversWhileAskingJoinOneQuestion();
    void dropOnOtherTabShowsFiles_data();
    void dropOnOtherTabShowsFiles();
    void settingsPaneConditions();
    void optimizesInPlaceWithOriginalsInTrash();
    void exportWritesWholeFileOrNone();
    void quitMidBatchLeavesEveryFileWhole();
    void keyboardAlone();
    void watchedFolderOptimizesArrivalsOnce();

private:
    void drop(const QList<QUrl>& urls);
    QObject* find(const char* name) const;
    QList<QObject*> findAll(const char* name) const;
    // Pages are built over several frames: only a finished one can be read.
    bool pageReady(const char* page) const;
    QString copyImages(const QStringList& names, const QString& sub = {});
    // Presses Tab until the item of that name has the keyboard; false when it never does.
    bool tabTo(const char* name);
    QString focusedName() const;

    StubPrompts prompts_;
    std::unique_ptr<QTemporaryDir> work_;
    std::unique_ptr<ToolNotices> notices_;
    std::unique_ptr<MainView> view_;
    std::unique_ptr<Updater> updater_;
    std::unique_ptr<QQmlApplicationEngine> engine_;
    QQuickWindow* window_ = nullptr;
};
