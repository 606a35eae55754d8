#include "platform/EventLoop.h"

#include <QCoreApplication>

#include <utility>

namespace EventLoop {

void resumeLater(std::coroutine_handle<> handle)
{
    QMetaObject::invokeMethod(QCoreApplication::instance(), [handle] { handle.resume(); }, Qt::QueuedConnection);
}

void Notifier::notifyAll()
{
    for (auto handle : std::exchange(waiting_, {}))
        resumeLater(handle);
}

} // namespace EventLoop
