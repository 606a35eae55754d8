// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QString>
#include <QUrl>
#include <QVersionNumber>

class QNetworkAccessManager;
class QNetworkReply;

// Looks for a newer version in an appcast (RSS with Sparkle's fields). It
// only tells; it never downloads or installs anything.
class Updater : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool canCheckForUpdates READ canCheckForUpdates NOTIFY canCheckForUpdatesChanged)
    Q_PROPERTY(bool automaticallyChecksForUpdates READ automaticallyChecksForUpdates WRITE
                   setAutomaticallyChecksForUpdates NOTIFY automaticallyChecksForUpdatesChanged)
    Q_PROPERTY(QString versionText READ versionText CONSTANT)
    Q_PROPERTY(bool hasFeed READ hasFeed CONSTANT)
    Q_PROPERTY(bool fromPackageManager READ fromPackageManager CONSTANT)

public:
    enum class Outcome { upToDate, updateAvailable, failed };
    Q_ENUM(Outcome)

    struct Result {
        Outcome outcome = Outcome::failed;
        QString message;
        QString notes;
        QUrl downloadPage;
    };

    static inline const QString automaticChecksKey = QStringLiteral("SUEnableAutomaticChecks");
    static inline const QString lastCheckKey = QStringLiteral("SULastCheckTime");

    // `fromPackageManager`: the package manager installed this copy and
    // brings its updates; the feed is then never read.
    Updater(QUrl feed, QString version, bool fromPackageManager = false, QObject* parent = nullptr);
    ~Updater() override;

    bool canCheckForUpdates() const { return hasFeed() && !checking_; }
    // A build without a feed can never check: the window says so instead of offering it.
    bool hasFeed() const { return !feed_.isEmpty() && !fromPackageManager_; }
    bool fromPackageManager() const { return fromPackageManager_; }
    bool automaticallyChecksForUpdates() const;
    void setAutomaticallyChecksForUpdates(bool on);
    QString versionText() const { return version_; }

    // A background check when the flag is on and the last one is a day old.
    void start();
    Q_INVOKABLE void checkForUpdates();

    static Result readAppcast(const QByteArray& feed, const QVersionNumber& current);

signals:
    void canCheckForUpdatesChanged();
    void automaticallyChecksForUpdatesChanged();
    // After every check the user asked for, and after a background check that found a newer version.
    void checkFinished(const Updater::Result& result);

private:
    void check(bool byUser);
    void finished(QNetworkReply* reply, bool byUser);
    void setChecking(bool checking);

    const QUrl feed_;
    const QString version_;
    const bool fromPackageManager_;
    QNetworkAccessManager* network_ = nullptr;
    bool checking_ = false;
};

Q_DECLARE_METATYPE(Updater::Result)
