// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/EventLoop.h"

#include <QCoroTask>
#include <QString>

#include <chrono>
#include <map>
#include <memory>
#include <optional>

class QProcess;

// One svgcleaner-server process that the SVG runs of a batch share, so Node
// and svgo load once per batch instead of once per file. Requests and answers
// are lines of JSON on its standard input and output: a pipe pair that
// nothing else can reach, and whose end (ours included) ends the server.
// Event-loop thread only.
class SvgcleanerServer : public std::enable_shared_from_this<SvgcleanerServer> {
public:
    struct Answer {
        int status = 0; // the adapter's exit status
        QString error; // what the adapter would print on standard error
        QString stopReason; // set when a cancel or the time limit stopped the run
    };

    // The script beside the adapter that it serves.
    static QString scriptFor(const QString& adapter);
    // The batch's server for this adapter, started on first use; nothing
    // outside a tool session, when no server is installed beside the adapter,
    // or once the server has died too often in this session.
    static std::shared_ptr<SvgcleanerServer> sharedFor(const QString& adapter);
    // Ends the shared server at once; the session's end calls it.
    static void endShared();

    SvgcleanerServer(QString script, int concurrency);
    ~SvgcleanerServer();
    SvgcleanerServer(const SvgcleanerServer&) = delete;
    SvgcleanerServer& operator=(const SvgcleanerServer&) = delete;

    // What `adapter input output [--multipass] [--precise]` would do, done by the server.
    // Nothing when the server is gone (never started, crashed, killed by
    // someone else) before answering: the caller runs the adapter instead.
    QCoro::Task<std::optional<Answer>> clean(QString input, QString output, bool multipass, bool precise,
                                             std::chrono::milliseconds limit);

    bool usable() const;

private:
    struct Request {
        std::optional<Answer> answer;
        QString stopReason;
        bool gone = false;
        EventLoop::Notifier settled;
    };

    QCoro::Task<bool> ensureRunning();
    void launch();
    void readAnswers();
    void serverEnded();
    void stop();

    static constexpr int maxDeaths = 3;

    const QString script_;
    const int concurrency_;
    std::unique_ptr<QProcess> process_;
    std::map<quint64, Request*> pending_;
    quint64 nextId_ = 0;
    int deaths_ = 0;
    bool ending_ = false;
};
