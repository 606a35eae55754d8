// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QCoroTask>

class QProcess;

namespace ProcessStart {
// Waits, without blocking the event loop, until a process just started runs
// or has failed to; answers whether it ran. Unlike QCoro's own wait, a program
// that cannot be executed ends the wait at once.
QCoro::Task<bool> started(QProcess& process);
} // namespace ProcessStart
