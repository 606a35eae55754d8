// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/tour/DropBenchmark.h"

#include "app/MainView.h"
#include "app/SceneItems.h"

#include <QCoroTimer>
#include <QDateTime>
#include <QFile>
#include <QQuickItem>
#include <QQuickWindow>
#include <QTimer>

#include <chrono>
#include <cstdio>

DropBenchmark::DropBenchmark(MainView& view, QQuickWindow& window, QUrl folder, int stopAfter, bool gridOpen)
    : view_(view), window_(window), folder_(std::move(folder)), stopAfter_(stopAfter), gridOpen_(gridOpen)
{
    connect(&window_, &QQuickWindow::frameSwapped, this, &DropBenchmark::frame, Qt::DirectConnection);
}

qint64 DropBenchmark::residentKilobytes(const char* field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith(field))
            return line.mid(qsizetype(qstrlen(field))).trimmed().split(' ').value(0).toLongLong();
    return -1;
}

void DropBenchmark::frame()
{
    const qint64 now = clock_.elapsed();
    if (dropAt_ >= 0 && firstFrame_ < 0)
        firstFrame_ = now - dropAt_;
    if (lastFrame_ >= 0 && dropAt_ >= 0)
        longestFrameGap_ = std::max(longestFrameGap_, now - lastFrame_);
    lastFrame_ = now;
    // Frames are swapped on the render thread; the tick reads this on the event loop.
    QMetaObject::invokeMethod(
        this, [this, now] { drawnAt(now); }, Qt::QueuedConnection);
}

void DropBenchmark::drawnAt(qint64 now)
{
    if (endedUndrawnAt_ < 0 || now < endedUndrawnAt_)
        return;
    noteUndrawn(now - endedUndrawnAt_);
    endedUndrawnAt_ = -1;
}

void DropBenchmark::noteUndrawn(qint64 ms)
{
    longestUndrawn_ = std::max(longestUndrawn_, ms);
    undrawnOverSecond_ += ms > 1000 ? 1 : 0;
}

void DropBenchmark::tick()
{
    const qint64 now = clock_.elapsed();
    if (lastTick_ >= 0 && dropAt_ >= 0) {
        longestStall_ = std::max(longestStall_, now - lastTick_);
        // Where the window froze tells more than how long: when, and how far the batch was.
        if (now - lastTick_ > 50)
            stalls_.append(QJsonObject{{QStringLiteral("at_ms"), lastTick_ - dropAt_},
                                       {QStringLiteral("ms"), now - lastTick_},
                                       {QStringLiteral("jobs"), view_.jobs()->count()},
                                       {QStringLiteral("completed"), int(view_.jobQueue()->completedJobs().size())}});
    }
    lastTick_ = now;
    // Every ended job changes the panel's figures, so a frame must follow it.
    const int completed = int(view_.jobQueue()->completedJobs().size() + view_.jobQueue()->failedJobs().size());
    if (completed != completedSeen_ && endedUndrawnAt_ < 0)
        endedUndrawnAt_ = now;
    completedSeen_ = completed;
    if (rssAtThousand_ < 0 && view_.jobQueue()->completedJobs().size() >= 1000)
        rssAtThousand_ = residentKilobytes("VmRSS:");
}

QCoro::Task<QJsonObject> DropBenchmark::run()
{
    clock_.start();
    co_await QCoro::sleepFor(std::chrono::milliseconds(1000));
    QTimer ticker;
    ticker.setInterval(16);
    connect(&ticker, &QTimer::timeout, this, &DropBenchmark::tick);
    // Something always moves, so every frame the window can draw is drawn.
    QTimer redraw;
    redraw.setInterval(16);
    connect(&redraw, &QTimer::timeout, &window_, &QQuickWindow::update);
    ticker.start();
    if (!gridOpen_)
        redraw.start();
    dropAt_ = clock_.elapsed();
    // On the clock the slow events are told by.
    std::fprintf(stderr, "dropped at %lld ms\n",
                 static_cast<long long>(QDateTime::currentMSecsSinceEpoch() % 1'000'000));
    QList<QUrl> dropped;
    dropped.append(folder_);
    if (watchFor_ == 0)
        view_.handleDrop(dropped);
    const auto ended = [this] {
        return view_.jobQueue()->completedJobs().size() + view_.jobQueue()->failedJobs().size();
    };
    while (watchFor_ > 0 ? ended() < watchFor_ : view_.jobs()->count() == 0 || view_.jobQueue()->isProcessing()) {
        if (stopAfter_ > 0 && cancelAt_ < 0 && view_.jobQueue()->completedJobs().size() >= stopAfter_) {
            cancelAt_ = clock_.elapsed() - dropAt_;
            view_.jobQueue()->cancelProcessing();
        }
        // The pile shows once the first jobs joined; the grid opens over it.
        if (QQuickItem* stack = gridOpen_ ? item("photoStack") : nullptr;
            stack && !stack->property("isFannedOut").toBool())
            stack->setProperty("isFannedOut", true);
        co_await QCoro::sleepFor(std::chrono::milliseconds(100));
    }
    co_await view_.jobQueue()->waitUntilIdle();
    // A frame the last jobs never got counts up to now.
    co_await QCoro::sleepFor(std::chrono::milliseconds(1500));
    if (endedUndrawnAt_ >= 0)
        noteUndrawn(clock_.elapsed() - endedUndrawnAt_);
    const qint64 batchMs = clock_.elapsed() - dropAt_;
    QJsonObject figures;
    figures.insert(QStringLiteral("jobs"), view_.jobs()->count());
    figures.insert(QStringLiteral("jobs_completed"), int(view_.jobQueue()->completedJobs().size()));
    figures.insert(QStringLiteral("batch_seconds"), double(batchMs) / 1000.0);
    figures.insert(QStringLiteral("first_frame_after_drop_ms"), firstFrame_);
    figures.insert(QStringLiteral("longest_frame_ms"), longestFrameGap_);
    figures.insert(QStringLiteral("longest_event_loop_stall_ms"), longestStall_);
    figures.insert(QStringLiteral("cancelled_at_ms"), cancelAt_);
    figures.insert(QStringLiteral("stalls_over_50_ms"), stalls_);
    figures.insert(QStringLiteral("grid_open_during_batch"), gridOpen_);
    figures.insert(QStringLiteral("window_size"), QStringLiteral("%1x%2").arg(window_.width()).arg(window_.height()));
    figures.insert(QStringLiteral("longest_no_new_frame_after_job_ended_s"), double(longestUndrawn_) / 1000.0);
    figures.insert(QStringLiteral("jobs_ended_undrawn_over_1_s"), undrawnOverSecond_);
    figures.insert(QStringLiteral("rss_after_1000_jobs_kb"), rssAtThousand_);
    figures.insert(QStringLiteral("rss_at_end_kb"), residentKilobytes("VmRSS:"));
    const QJsonObject scrolling = co_await scrollGrid();
    for (auto it = scrolling.begin(); it != scrolling.end(); ++it)
        figures.insert(it.key(), it.value());
    figures.insert(QStringLiteral("peak_rss_kb"), residentKilobytes("VmHWM:"));
    co_return figures;
}

QQuickItem* DropBenchmark::item(const char* name) const
{
    return SceneItems::find(window_, name);
}

// Fans the cards out and scrolls down the grid a few pixels every tick, as a
// wheel held down would, while their pictures load.
QCoro::Task<QJsonObject> DropBenchmark::scrollGrid()
{
    QJsonObject figures;
    QQuickItem* stack = item("photoStack");
    if (!stack)
        co_return figures;
    stack->setProperty("isFannedOut", true);
    co_await QCoro::sleepFor(std::chrono::milliseconds(1500));
    QQuickItem* grid = item("photoGrid");
    if (!grid)
        co_return figures;
    const qint64 rssBefore = residentKilobytes("VmRSS:");
    qint64 rssMost = rssBefore;
    lastFrame_ = -1;
    longestFrameGap_ = 0;
    const double end = grid->property("contentHeight").toDouble() - grid->height();
    double y = 0;
    QElapsedTimer scrolling;
    scrolling.start();
    while (y < end && scrolling.elapsed() < 20000) {
        y = std::min(end, y + 60.0);
        grid->setProperty("contentY", y);
        window_.update();
        co_await QCoro::sleepFor(std::chrono::milliseconds(16));
        rssMost = std::max(rssMost, residentKilobytes("VmRSS:"));
    }
    figures.insert(QStringLiteral("grid_scrolled_px"), y);
    figures.insert(QStringLiteral("grid_scroll_seconds"), double(scrolling.elapsed()) / 1000.0);
    figures.insert(QStringLiteral("grid_longest_frame_ms"), longestFrameGap_);
    figures.insert(QStringLiteral("rss_before_grid_kb"), rssBefore);
    figures.insert(QStringLiteral("rss_most_while_grid_scrolls_kb"), rssMost);
    co_return figures;
}
