#include "platform/LoopGapMeter.h"

#include <algorithm>

LoopGapMeter::LoopGapMeter(int tickMilliseconds)
{
    clock_.start();
    timer_.callOnTimeout([this] {
        const qint64 now = clock_.elapsed();
        longest_ = std::max(longest_, now - last_);
        last_ = now;
    });
    timer_.start(tickMilliseconds);
}
