// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/ResultActions.h"

#include "jobs/JobListModel.h"
#include "platform/ByteCountFormatter.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

ResultActions::ResultActions(JobListModel& jobs, QObject* parent) : QObject(parent), jobs_(jobs)
{
}

QString ResultActions::byteText(qint64 bytes)
{
    return ByteCountFormatter::format(bytes);
}

void ResultActions::restoreOriginal(int row)
{
    [](ResultActions* self, int at) -> QCoro::Task<> { co_await self->restore(at); }(this, row);
}

QCoro::Task<OriginalRestorer::Outcome> ResultActions::restore(int row)
{
    const auto job = jobs_.jobAt(row);
    if (!job || busy_)
        co_return OriginalRestorer::Outcome{};
    setBusy(true);
    const OriginalRestorer::Outcome outcome = co_await restorer_.restore(job);
    setBusy(false);
    // A restored card says so itself; a refusal says why here.
    setMessage(outcome.ok ? QString() : outcome.message);
    co_return outcome;
}

void ResultActions::showInFolder(const QUrl& file)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        openFolderOf(file);
        return;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("/org/freedesktop/FileManager1"),
        QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("ShowItems"));
    call << QStringList{file.toString(QUrl::FullyEncoded)} << QString();
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, file](QDBusPendingCallWatcher* done) {
        if (done->isError())
            openFolderOf(file);
        done->deleteLater();
    });
}

void ResultActions::openFolderOf(const QUrl& file)
{
    const QString folder = QFileInfo(file.toLocalFile()).absolutePath();
    const QString failed = tr("The folder “%1” could not be opened: no file manager answered.").arg(folder);
    const QString opener = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
    if (opener.isEmpty()) {
        setMessage(failed);
        return;
    }
    auto* process = new QProcess(this);
    connect(process, &QProcess::finished, this, [this, process, failed](int code, QProcess::ExitStatus status) {
        if (status != QProcess::NormalExit || code != 0)
            setMessage(failed);
        process->deleteLater();
    });
    connect(process, &QProcess::errorOccurred, this, [this, process, failed](QProcess::ProcessError error) {
        if (error != QProcess::FailedToStart)
            return;
        setMessage(failed);
        process->deleteLater();
    });
    // "--" is not understood by xdg-open; an absolute path never starts with "-".
    process->start(opener, {QUrl::fromLocalFile(folder).toString(QUrl::FullyEncoded)});
}

void ResultActions::clearMessage()
{
    setMessage({});
}

void ResultActions::setMessage(const QString& message)
{
    if (message_ == message)
        return;
    message_ = message;
    emit messageChanged();
}

void ResultActions::setBusy(bool busy)
{
    if (busy_ == busy)
        return;
    busy_ = busy;
    emit busyChanged();
}
