// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/EventLoop.h"

#include <QCoreApplication>

#include <utility>

namespace EventLoop {

void resumeLater(std::coroutine_handle<> handle)
{
    QMetaObject::invokeMethod(
        QCoreApplication::instance(), [handle] { handle.resume(); }, Qt::QueuedConnection);
}

void Notifier::notifyAll()
{
    for (auto handle : std::exchange(waiting_, {}))
        resumeLater(handle);
}

} // namespace EventLoop
