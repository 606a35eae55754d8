// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/Updater.h"

#include "platform/KeyValueStore.h"

#include <QDateTime>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QXmlStreamReader>

namespace {
constexpr qint64 secondsBetweenChecks = 24 * 60 * 60;
const QString sparkleNamespace = QStringLiteral("http://www.andymatuschak.org/xml-namespaces/sparkle");

struct Item {
    QString version;
    QString notes;
    QUrl page;
};

// Reads one <item>; the version sits on the enclosure or in its own element.
Item readItem(QXmlStreamReader& xml)
{
    Item item;
    QString buildVersion;
    while (xml.readNextStartElement()) {
        const auto name = xml.name();
        const bool sparkle = xml.namespaceUri() == sparkleNamespace;
        if (name == QLatin1String("enclosure")) {
            const auto attributes = xml.attributes();
            if (attributes.hasAttribute(sparkleNamespace, QStringLiteral("shortVersionString")))
                item.version = attributes.value(sparkleNamespace, QStringLiteral("shortVersionString")).toString();
            buildVersion = attributes.value(sparkleNamespace, QStringLiteral("version")).toString();
            xml.skipCurrentElement();
        } else if (sparkle && name == QLatin1String("shortVersionString")) {
            item.version = xml.readElementText().trimmed();
        } else if (sparkle && name == QLatin1String("version")) {
            buildVersion = xml.readElementText().trimmed();
        } else if (name == QLatin1String("description")) {
            item.notes = xml.readElementText().trimmed();
        } else if (name == QLatin1String("link")) {
            item.page = QUrl(xml.readElementText().trimmed());
        } else {
            xml.skipCurrentElement();
        }
    }
    if (item.version.isEmpty())
        item.version = buildVersion;
    return item;
}
} // namespace

Updater::Updater(QUrl feed, QString version, bool fromPackageManager, QObject* parent)
    : QObject(parent), feed_(std::move(feed)), version_(version.isEmpty() ? QStringLiteral("1.0.0") : version),
      fromPackageManager_(fromPackageManager)
{
}

Updater::~Updater() = default;

bool Updater::automaticallyChecksForUpdates() const
{
    return KeyValueStore::standard().boolean(automaticChecksKey, true);
}

void Updater::setAutomaticallyChecksForUpdates(bool on)
{
    if (on == automaticallyChecksForUpdates())
        return;
    KeyValueStore::standard().setValue(automaticChecksKey, on);
    emit automaticallyChecksForUpdatesChanged();
    if (on)
        start();
}

void Updater::start()
{
    if (!automaticallyChecksForUpdates() || !canCheckForUpdates())
        return;
    const qint64 now = QDateTime::currentSecsSinceEpoch();
    const qint64 last = KeyValueStore::standard().int64(lastCheckKey, 0);
    if (now - last < secondsBetweenChecks && last <= now)
        return;
    check(false);
}

void Updater::checkForUpdates()
{
    if (fromPackageManager_)
        emit checkFinished({Outcome::failed, tr("Pressly Pro was installed by your system’s package manager."),
                            tr("Its updates come with the system’s updates."), QUrl()});
    else if (!hasFeed())
        emit checkFinished({Outcome::failed, tr("This copy of Pressly Pro has no update feed."),
                            tr("Updates come with the package it was installed from."), QUrl()});
    else if (!checking_)
        check(true);
}

void Updater::check(bool byUser)
{
    if (!network_)
        network_ = new QNetworkAccessManager(this);
    setChecking(true);
    KeyValueStore::standard().setValue(lastCheckKey, QDateTime::currentSecsSinceEpoch());
    QNetworkRequest request(feed_);
    request.setTransferTimeout(30000);
    QNetworkReply* reply = network_->get(request);
    connect(reply, &QNetworkReply::finished, this, [this, reply, byUser] { finished(reply, byUser); });
}

void Updater::finished(QNetworkReply* reply, bool byUser)
{
    reply->deleteLater();
    Result result;
    if (reply->error() != QNetworkReply::NoError)
        result.message = tr("The update server could not be reached: %1").arg(reply->errorString());
    else
        result = readAppcast(reply->readAll(), QVersionNumber::fromString(version_));
    setChecking(false);
    if (byUser || result.outcome == Outcome::updateAvailable)
        emit checkFinished(result);
}

Updater::Result Updater::readAppcast(const QByteArray& feed, const QVersionNumber& current)
{
    QXmlStreamReader xml(feed);
    std::optional<Item> newest;
    bool sawChannel = false;
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement())
            continue;
        if (xml.name() == QLatin1String("channel"))
            sawChannel = true;
        if (xml.name() != QLatin1String("item"))
            continue;
        const Item item = readItem(xml);
        const auto version = QVersionNumber::fromString(item.version);
        if (!version.isNull() && (!newest || version > QVersionNumber::fromString(newest->version)))
            newest = item;
    }
    Result result;
    if (xml.hasError() || !sawChannel) {
        result.message = tr("The update feed could not be read.");
        return result;
    }
    if (!newest || QVersionNumber::fromString(newest->version) <= current) {
        result.outcome = Outcome::upToDate;
        result.message =
            tr("You’re up to date. Pressly Pro %1 is the newest version available.").arg(current.toString());
        return result;
    }
    result.outcome = Outcome::updateAvailable;
    result.message = tr("Version %1 is available. You have %2.").arg(newest->version, current.toString());
    result.notes = newest->notes;
    result.downloadPage = newest->page;
    return result;
}

void Updater::setChecking(bool checking)
{
    if (checking == checking_)
        return;
    checking_ = checking;
    emit canCheckForUpdatesChanged();
}
