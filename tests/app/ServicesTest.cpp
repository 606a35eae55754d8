// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "ServicesTest.h"

#include "app/LauncherBadge.h"
#include "app/ResultActions.h"
#include "app/StatsPanel.h"
#include "app/ToolNotices.h"
#include "app/Updater.h"
#include "jobs/Configuration.h"
#include "jobs/JobListModel.h"
#include "jobs/JobQueue.h"
#include "platform/DockBadge.h"
#include "platform/KeyValueStore.h"
#include "store/StatisticsTracker.h"
#include "workers/MissingTools.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>

namespace {
// Serves one fixed HTTP answer to every request on 127.0.0.1.
class FeedServer : public QTcpServer {
public:
    explicit FeedServer(QByteArray body) : body_(std::move(body))
    {
        listen(QHostAddress::LocalHost);
        connect(this, &QTcpServer::newConnection, this, [this] {
            while (auto* socket = nextPendingConnection())
                connect(socket, &QTcpSocket::readyRead, socket, [this, socket] {
                    if (!socket->readAll().contains("\r\n\r\n"))
                        return;
                    socket->write("HTTP/1.1 200 OK\r\nContent-Type: application/rss+xml\r\nContent-Length: "
                                  + QByteArray::number(body_.size()) + "\r\nConnection: close\r\n\r\n" + body_);
                    socket->disconnectFromHost();
                });
        });
    }
    QUrl url() const { return QUrl(QStringLiteral("http://127.0.0.1:%1/appcast.xml").arg(serverPort())); }

private:
    QByteArray body_;
};

QByteArray appcast(const char* version)
{
    return QByteArray(
               R"(<?xml version="1.0"?><rss version="2.0" xmlns:sparkle="http://www.andymatuschak.org/xml-namespaces/sparkle"><channel><title>Pressly Pro</title>
<item><title>Old</title><enclosure url="http://127.0.0.1/old.tar.gz" sparkle:version="0.9.0"/></item>
<item><title>New</title><sparkle:shortVersionString>)")
           + version + R"(</sparkle:shortVersionString>
<description>Faster PNGs.</description><link>https://example.org/download</link></item></channel></rss>)";
}
} // namespace

void ServicesTest::init()
{
    KeyValueStore::standard().remove(Updater::lastCheckKey);
    KeyValueStore::standard().remove(Updater::automaticChecksKey);
}

void ServicesTest::updaterAnswers_data()
{
    QTest::addColumn<QByteArray>("feed"); // empty: nobody listens
    QTest::addColumn<int>("outcome");
    QTest::addColumn<QString>("message");
    QTest::newRow("up to date") << appcast("1.2.0") << int(Updater::Outcome::upToDate)
                                << "You’re up to date. Pressly Pro 1.2.0 is the newest version available.";
    QTest::newRow("newer") << appcast("1.10.0") << int(Updater::Outcome::updateAvailable)
                           << "Version 1.10.0 is available. You have 1.2.0.";
    QTest::newRow("unreachable") << QByteArray() << int(Updater::Outcome::failed)
                                 << "The update server could not be reached";
    QTest::newRow("malformed") << QByteArray("<rss><channel><item>") << int(Updater::Outcome::failed)
                               << "The update feed could not be read.";
}

void ServicesTest::updaterAnswers()
{
    QFETCH(QByteArray, feed);
    QFETCH(int, outcome);
    QFETCH(QString, message);
    FeedServer server(feed);
    QUrl url = server.url();
    if (feed.isEmpty())
        server.close();
    Updater updater(url, QStringLiteral("1.2.0"));
    QVERIFY(updater.canCheckForUpdates());
    QSignalSpy finished(&updater, &Updater::checkFinished);
    updater.checkForUpdates();
    QVERIFY(!updater.canCheckForUpdates());
    QVERIFY(finished.wait(10000));
    QVERIFY(updater.canCheckForUpdates());
    const auto result = finished.first().first().value<Updater::Result>();
    QCOMPARE(int(result.outcome), outcome);
    QVERIFY2(result.message.startsWith(message), qPrintable(result.message));
    if (result.outcome == Updater::Outcome::updateAvailable) {
        QCOMPARE(result.notes, QStringLiteral("Faster PNGs."));
        QCOMPARE(result.downloadPage, QUrl("https://example.org/download"));
    }
}

void ServicesTest::automaticCheckAtMostDaily()
{
    FeedServer server(appcast("9.0.0"));
    Updater updater(server.url(), QStringLiteral("1.0.0"));
    QSignalSpy changes(&updater, &Updater::canCheckForUpdatesChanged);
    updater.start();
    QTRY_COMPARE(changes.size(), 2); // a check ran and ended
    updater.start();
    QTest::qWait(100);
    QCOMPARE(changes.size(), 2);

    // A copy the package manager installed leaves its updates to it.
    KeyValueStore::standard().remove(Updater::lastCheckKey);
    Updater packaged(server.url(), QStringLiteral("1.0.0"), true);
    QSignalSpy packagedAnswers(&packaged, &Updater::checkFinished);
    packaged.start();
    packaged.checkForUpdates();
    QVERIFY(!packaged.canCheckForUpdates());
    QCOMPARE(packagedAnswers.size(), 1);
    QVERIFY(packagedAnswers.first().first().value<Updater::Result>().message.contains("package manager"));

    // With the flag off nothing runs, and the flag persists.
    KeyValueStore::standard().remove(Updater::lastCheckKey);
    updater.setAutomaticallyChecksForUpdates(false);
    QCOMPARE(Updater(QUrl(), QString()).automaticallyChecksForUpdates(), false);
    updater.start();
    QTest::qWait(100);
    QCOMPARE(changes.size(), 2);
}

void ServicesTest::badgeSignalOnSessionBus()
{
    auto watcher = QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("badge-watcher"));
    if (!watcher.isConnected())
        QSKIP("no session bus (run under dbus-run-session)");
    BadgeWatcher receiver;
    QVERIFY(watcher.connect(QString(), QString(), QStringLiteral("com.canonical.Unity.LauncherEntry"),
                            QStringLiteral("Update"), &receiver, SLOT(update(QDBusMessage))));
    const auto& seen = receiver.seen;
    Configuration configuration;
    JobQueue queue(configuration, 1);
    LauncherBadge badge(queue);
    DockBadge::shared().setLabel(QStringLiteral("3"));
    DockBadge::shared().setLabel(QString());
    QTRY_COMPARE(seen.size(), 2);
    QCOMPARE(seen[0][0].toString(), QStringLiteral("application://" PRESSLY_APP_ID ".desktop"));
    const auto shown = qdbus_cast<QVariantMap>(seen[0][1]);
    QCOMPARE(shown.value("count").toLongLong(), 3);
    QCOMPARE(shown.value("count-visible").toBool(), true);
    QCOMPARE(qdbus_cast<QVariantMap>(seen[1][1]).value("count-visible").toBool(), false);

    // While a batch runs: the files left and the progress, job by job, not only at its end.
    QTemporaryDir folder;
    QList<QUrl> files;
    for (int i = 0; i < 3; ++i) {
        const QString path = folder.filePath(QStringLiteral("image-%1.png").arg(i));
        QVERIFY(QFile::copy(QStringLiteral(PRESSLY_TEST_DATA "/png/pingus-flag3.png"), path));
        files.append(QUrl::fromLocalFile(path));
    }
    StatsPanel figures(queue, StatisticsTracker::shared());
    LauncherBadge running(queue, &figures);
    const qsizetype before = seen.size();
    queue.addFiles(files);
    QTRY_VERIFY_WITH_TIMEOUT(queue.jobCount() == 3 && !queue.isProcessing(), 60000);
    QList<qint64> left;
    for (qsizetype i = before; i < seen.size(); ++i) {
        const auto properties = qdbus_cast<QVariantMap>(seen[i][1]);
        if (properties.value("progress-visible").toBool()) {
            left.append(properties.value("count").toLongLong());
            QCOMPARE(properties.value("progress").toDouble(), double(3 - left.last()) / 3.0);
        }
    }
    QVERIFY2(left.contains(2) && left.contains(1), qPrintable(QString::number(left.size())));
    QVERIFY(std::is_sorted(left.rbegin(), left.rend()));
}

void ServicesTest::missingToolToldOnce()
{
    ToolNotices notices;
    QSignalSpy told(&notices, &ToolNotices::textChanged);
    for (int i = 0; i < 3; ++i) // every job that looks for it is told again
        emit MissingTools::shared().missing(QStringLiteral("oxipng"));
    QTRY_COMPARE(told.size(), 1);
    QVERIFY(notices.text().startsWith(QStringLiteral("oxipng is not installed.")));
    // An installed app's user is told what to install, not about our scripts.
    emit MissingTools::shared().missing(QStringLiteral("jpegtran"));
    QTRY_COMPARE(told.size(), 2);
    const QString text = notices.text();
    QVERIFY2(text.startsWith(QStringLiteral("oxipng, jpegtran are not installed.")), qPrintable(text));
    QVERIFY2(text.contains(QStringLiteral("sudo apt install libjpeg-turbo-progs.")), qPrintable(text));
    QVERIFY2(text.contains(QStringLiteral("oxipng came with Pressly Pro: reinstall the pressly-pro package.")),
             qPrintable(text));
    QVERIFY(!text.contains(QStringLiteral("scripts/")));
    notices.dismiss();
    QCOMPARE(notices.text(), QString());
}

void ServicesTest::showInFolderSaysWhenNothingOpens_data()
{
    QTest::addColumn<QString>("opener"); // xdg-open's script; empty: none on PATH
    QTest::addColumn<bool>("told");
    QTest::newRow("opened") << QStringLiteral("exit 0") << false;
    QTest::newRow("no handler") << QStringLiteral("exit 3") << true;
    QTest::newRow("no xdg-open") << QString() << true;
}

// The private session bus has no file manager, so the folder is opened, or not, by xdg-open.
void ServicesTest::showInFolderSaysWhenNothingOpens()
{
    QFETCH(QString, opener);
    QFETCH(bool, told);
    QTemporaryDir bin;
    if (!opener.isEmpty()) {
        QFile script(bin.filePath(QStringLiteral("xdg-open")));
        QVERIFY(script.open(QIODevice::WriteOnly));
        // PATH holds only this folder: the script calls no other program.
        script.write("#!/bin/sh\necho \"$1\" > '" + bin.filePath(QStringLiteral("opened")).toUtf8() + "'\n"
                     + opener.toUtf8() + "\n");
        script.close();
        script.setPermissions(script.permissions() | QFileDevice::ExeOwner);
    }
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", bin.path().toUtf8());
    const auto restorePath = qScopeGuard([&path] { qputenv("PATH", path); });
    Configuration configuration;
    JobQueue queue(configuration, 1);
    JobListModel jobs(queue);
    ResultActions actions(jobs);
    QSignalSpy changed(&actions, &ResultActions::messageChanged);
    actions.showInFolder(QUrl::fromLocalFile(QStringLiteral("/srv/photos/a b.png")));
    if (told) {
        QTRY_COMPARE_WITH_TIMEOUT(changed.size(), 1, 10000);
        QCOMPARE(actions.message(),
                 QStringLiteral("The folder “/srv/photos” could not be opened: no file manager answered."));
    } else {
        QTRY_VERIFY(QFile::exists(bin.filePath(QStringLiteral("opened"))));
        QFile opened(bin.filePath(QStringLiteral("opened")));
        QVERIFY(opened.open(QIODevice::ReadOnly));
        QCOMPARE(opened.readAll().trimmed(), QByteArray("file:///srv/photos"));
        QTest::qWait(200);
        QCOMPARE(actions.message(), QString());
    }
}
