// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QCoroTask>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonObject>
#include <QObject>
#include <QUrl>

class MainView;
class QQuickItem;
class QQuickWindow;

// Drops one folder on the window and measures how the window keeps up: the
// time to the first frame after the drop, the longest frame and event-loop
// stall during the batch, the longest frame while the grid of all cards
// scrolls with their pictures loading, and the process's memory.
class DropBenchmark : public QObject {
    Q_OBJECT
public:
    // Stops the batch once `stopAfter` jobs are done (0: runs it to its end).
    // With `gridOpen`, the batch runs under the open grid and nothing but the
    // window itself asks for frames: a job that ends must bring one.
    DropBenchmark(MainView& view, QQuickWindow& window, QUrl folder, int stopAfter, bool gridOpen = false);
    QCoro::Task<QJsonObject> run();

private:
    static qint64 residentKilobytes(const char* field);
    void tick();
    void frame();
    void drawnAt(qint64 now);
    void noteUndrawn(qint64 ms);
    QCoro::Task<QJsonObject> scrollGrid();
    QQuickItem* item(const char* name) const;

    MainView& view_;
    QQuickWindow& window_;
    const QUrl folder_;
    const int stopAfter_;
    const bool gridOpen_;
    // PRESSLY_BENCH_WATCH=N: nothing is dropped; N files arriving in a watched folder are waited for.
    const int watchFor_ = qEnvironmentVariableIntValue("PRESSLY_BENCH_WATCH");
    // When a job ended with no frame drawn since (-1: none waiting).
    qint64 endedUndrawnAt_ = -1;
    qint64 longestUndrawn_ = 0;
    int undrawnOverSecond_ = 0;
    int completedSeen_ = 0;
    QElapsedTimer clock_;
    qint64 dropAt_ = -1;
    qint64 firstFrame_ = -1;
    qint64 lastFrame_ = -1;
    qint64 longestFrameGap_ = 0;
    qint64 lastTick_ = -1;
    qint64 longestStall_ = 0;
    qint64 rssAtThousand_ = -1;
    qint64 cancelAt_ = -1;
    QJsonArray stalls_;
};
