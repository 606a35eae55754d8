// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

#include <memory>

class QSocketNotifier;

// Turns SIGINT, SIGTERM and SIGHUP into a signal on the event loop (a pipe the
// handler writes to), so that the run can stop in order instead of dying with
// tools running and working files left behind. One at a time per process.
class SignalWatcher : public QObject {
    Q_OBJECT
public:
    SignalWatcher();
    ~SignalWatcher() override;

    // The first signal caught, 0 while none was.
    int firstSignal() const { return first_; }
    // 128 + the first signal, as a shell reports a program ended by it.
    int exitStatus() const { return first_ ? 128 + first_ : 0; }

signals:
    // `count` is 1 for the first signal, 2 for the next, and so on.
    void received(int signal, int count);

private:
    void readPipe();

    std::unique_ptr<QSocketNotifier> notifier_;
    int first_ = 0;
    int count_ = 0;
};
