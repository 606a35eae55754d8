// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "workers/SvgcleanerServer.h"

#include "platform/Log.h"
#include "platform/ProcessStart.h"
#include "workers/BaseCommandWorker.h"
#include "workers/RunningTools.h"
#include "workers/ToolMemoryLimit.h"
#include "workers/ToolSession.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTimer>

namespace {

std::shared_ptr<SvgcleanerServer>& shared()
{
    static std::shared_ptr<SvgcleanerServer> server;
    return server;
}

} // namespace

QString SvgcleanerServer::scriptFor(const QString& adapter)
{
    return QFileInfo(adapter).dir().filePath(QStringLiteral("svgcleaner-server"));
}

std::shared_ptr<SvgcleanerServer> SvgcleanerServer::sharedFor(const QString& adapter)
{
    if (!ToolSession::isOpen())
        return nullptr;
    const QString script = scriptFor(adapter);
    auto& server = shared();
    if (!server || server->script_ != script) {
        if (!QFileInfo(script).isExecutable())
            return nullptr;
        endShared();
        server = std::make_shared<SvgcleanerServer>(script, ToolSession::concurrency());
    }
    return server->usable() ? server : nullptr;
}

void SvgcleanerServer::endShared()
{
    if (auto server = std::exchange(shared(), nullptr))
        server->stop();
}

SvgcleanerServer::SvgcleanerServer(QString script, int concurrency)
    : script_(std::move(script)), concurrency_(concurrency)
{
}

SvgcleanerServer::~SvgcleanerServer()
{
    stop();
}

bool SvgcleanerServer::usable() const
{
    return deaths_ < maxDeaths;
}

QCoro::Task<std::optional<SvgcleanerServer::Answer>>
SvgcleanerServer::clean(QString input, QString output, bool multipass, bool precise, std::chrono::milliseconds limit)
{
    const auto self = shared_from_this(); // answers arrive after the session may have dropped us
    const bool running = co_await ensureRunning();
    if (!running)
        co_return std::nullopt;
    QProcess* server = process_.get();
    Request request;
    const quint64 id = ++nextId_;
    pending_[id] = &request;
    if (pending_.size() == 1)
        RunningTools::shared().add(server, [this](const QString& reason) {
            for (auto& [key, waiting] : pending_)
                waiting->stopReason = reason;
        });

    const QJsonObject message{{QStringLiteral("id"), qint64(id)},
                              {QStringLiteral("input"), input},
                              {QStringLiteral("output"), output},
                              {QStringLiteral("multipass"), multipass},
                              {QStringLiteral("precise"), precise}};
    server->write(QJsonDocument(message).toJson(QJsonDocument::Compact) + '\n');

    // A run past its limit takes the server with it: a thread busy in svgo
    // cannot be interrupted, and the other runs fall back to the adapter.
    QTimer watchdog;
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, server, [&request, server, limit] {
        if (request.answer || request.gone)
            return;
        request.stopReason = QCoreApplication::translate("SvgcleanerServer", "Stopped after running for %1 s")
                                 .arg(double(limit.count()) / 1000.0);
        RunningTools::stop(*server, RunningTools::grace);
    });
    watchdog.start(limit);
    while (!request.answer && !request.gone)
        co_await request.settled.wait();
    watchdog.stop();
    pending_.erase(id);
    if (pending_.empty() && process_.get() == server)
        RunningTools::shared().remove(server);

    if (!request.stopReason.isEmpty())
        co_return Answer{.status = -1, .error = {}, .stopReason = request.stopReason};
    co_return request.answer;
}

QCoro::Task<bool> SvgcleanerServer::ensureRunning()
{
    const bool launching = !process_ || process_->state() == QProcess::NotRunning;
    if (launching) {
        if (ending_ || !usable())
            co_return false;
        launch();
    }
    // Runs that come while it starts wait with the first; the first counts a failure.
    QProcess* server = process_.get();
    const bool started = co_await ProcessStart::started(*server);
    // Another run may have replaced a server that died meanwhile.
    if (process_.get() != server)
        co_return false;
    if (!launching)
        co_return started;
    if (!started) {
        qCInfo(lcTools).noquote() << QStringLiteral("The svgcleaner server could not start: ") + server->errorString();
        ++deaths_;
        co_return false;
    }
    qCInfo(lcTools).noquote()
        << QStringLiteral("Started the svgcleaner server (pid %1): %2").arg(server->processId()).arg(script_);
    co_return true;
}

void SvgcleanerServer::launch()
{
    process_.reset();
    auto process = std::make_unique<QProcess>();
    BaseCommandWorker::prepareToolProcess(*process, script_, ToolMemoryLimit::forScriptThreads(concurrency_));
    process->setArguments({QString::number(concurrency_)});
    QProcess* server = process.get();
    QObject::connect(server, &QProcess::readyReadStandardOutput, server, [this] { readAnswers(); });
    QObject::connect(server, &QProcess::readyReadStandardError, server, [server] {
        for (const QByteArray& line : server->readAllStandardError().split('\n'))
            if (!line.isEmpty())
                qCInfo(lcTools).noquote() << QString::fromUtf8(line);
    });
    QObject::connect(server, &QProcess::finished, server, [this] { serverEnded(); });
    process_ = std::move(process);
    server->start();
}

void SvgcleanerServer::readAnswers()
{
    while (process_ && process_->canReadLine()) {
        const QJsonObject answer = QJsonDocument::fromJson(process_->readLine()).object();
        const auto found = pending_.find(quint64(answer.value(QStringLiteral("id")).toInteger()));
        if (found == pending_.end() || found->second->answer || found->second->gone)
            continue;
        found->second->answer = Answer{.status = answer.value(QStringLiteral("status")).toInt(1),
                                       .error = answer.value(QStringLiteral("error")).toString(),
                                       .stopReason = {}};
        found->second->settled.notifyAll();
    }
}

void SvgcleanerServer::serverEnded()
{
    if (!ending_) {
        ++deaths_;
        const bool crashed = process_ && process_->exitStatus() == QProcess::CrashExit;
        qCInfo(lcTools).noquote() << QStringLiteral("The svgcleaner server ended (%1 %2), %3 run(s) unanswered")
                                         .arg(crashed ? QStringLiteral("signal") : QStringLiteral("exit status"))
                                         .arg(process_ ? process_->exitCode() : -1)
                                         .arg(pending_.size());
    }
    if (process_)
        RunningTools::shared().remove(process_.get());
    // What it held is settled now, and the next server starts with none in hand.
    for (auto& [id, request] : std::exchange(pending_, {})) {
        if (request->answer)
            continue;
        request->gone = true;
        request->settled.notifyAll();
    }
}

void SvgcleanerServer::stop()
{
    ending_ = true;
    if (!process_ || process_->state() == QProcess::NotRunning)
        return;
    // Only once no file is in hand: nothing to finish, nothing left half written.
    RunningTools::stop(*process_, std::chrono::milliseconds(0));
    process_->waitForFinished(1000);
}
