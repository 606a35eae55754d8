#pragma once

#include <QElapsedTimer>
#include <QTimer>

// How long the event loop was kept from turning: the longest wait between
// ticks of a fast timer, from creation on. A window freezes for as long.
class LoopGapMeter {
public:
    explicit LoopGapMeter(int tickMilliseconds = 5);
    qint64 longestMilliseconds() const { return longest_; }

private:
    QTimer timer_;
    QElapsedTimer clock_;
    qint64 last_ = 0;
    qint64 longest_ = 0;
};
