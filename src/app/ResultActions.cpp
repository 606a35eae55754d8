#include "app/ResultActions.h"

#include "jobs/JobListModel.h"
#include "platform/ByteCountFormatter.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDesktopServices>
#include <QFileInfo>

ResultActions::ResultActions(JobListModel& jobs, QObject* parent) : QObject(parent), jobs_(jobs) {}

QString ResultActions::byteText(qint64 bytes) { return ByteCountFormatter::format(bytes); }

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
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [file](QDBusPendingCallWatcher* done) {
        // No file manager on the bus: the folder opens in whatever handles folders.
        if (done->isError())
            openFolderOf(file);
        done->deleteLater();
    });
}

void ResultActions::openFolderOf(const QUrl& file)
{
    QDesktopServices::openUrl(QUrl::fromLocalFile(QFileInfo(file.toLocalFile()).absolutePath()));
}

void ResultActions::clearMessage() { setMessage({}); }

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
