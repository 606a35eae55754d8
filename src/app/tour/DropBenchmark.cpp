#include "app/tour/DropBenchmark.h"

#include "app/MainView.h"

#include <QCoroTimer>
#include <QFile>
#include <QQuickWindow>
#include <QTimer>

#include <chrono>

DropBenchmark::DropBenchmark(MainView& view, QQuickWindow& window, QUrl folder, int stopAfter)
    : view_(view), window_(window), folder_(std::move(folder)), stopAfter_(stopAfter)
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
}

void DropBenchmark::tick()
{
    const qint64 now = clock_.elapsed();
    if (lastTick_ >= 0 && dropAt_ >= 0)
        longestStall_ = std::max(longestStall_, now - lastTick_);
    lastTick_ = now;
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
    redraw.start();
    dropAt_ = clock_.elapsed();
    QList<QUrl> dropped;
    dropped.append(folder_);
    view_.handleDrop(dropped);
    while (view_.jobs()->count() == 0 || view_.jobQueue()->isProcessing()) {
        if (stopAfter_ > 0 && view_.jobQueue()->completedJobs().size() >= stopAfter_)
            view_.jobQueue()->cancelProcessing();
        co_await QCoro::sleepFor(std::chrono::milliseconds(100));
    }
    co_await view_.jobQueue()->waitUntilIdle();
    const qint64 batchMs = clock_.elapsed() - dropAt_;
    QJsonObject figures;
    figures.insert(QStringLiteral("jobs"), view_.jobs()->count());
    figures.insert(QStringLiteral("jobs_completed"), int(view_.jobQueue()->completedJobs().size()));
    figures.insert(QStringLiteral("batch_seconds"), double(batchMs) / 1000.0);
    figures.insert(QStringLiteral("first_frame_after_drop_ms"), firstFrame_);
    figures.insert(QStringLiteral("longest_frame_ms"), longestFrameGap_);
    figures.insert(QStringLiteral("longest_event_loop_stall_ms"), longestStall_);
    figures.insert(QStringLiteral("rss_after_1000_jobs_kb"), rssAtThousand_);
    figures.insert(QStringLiteral("rss_at_end_kb"), residentKilobytes("VmRSS:"));
    figures.insert(QStringLiteral("peak_rss_kb"), residentKilobytes("VmHWM:"));
    co_return figures;
}
