// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDBusMessage>
#include <QObject>
#include <QVariantList>

class BadgeWatcher : public QObject {
    Q_OBJECT
public:
    QList<QVariantList> seen;
public slots:
    void update(const QDBusMessage& message) { seen.append(message.arguments()); }
};

// The window's links to the outside: the update feed and the launcher badge.
class ServicesTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void updaterAnswers_data();
    void updaterAnswers();
    void automaticCheckAtMostDaily();
    void badgeSignalOnSessionBus();
    void missingToolToldOnce();
    void showInFolderSaysWhenNothingOpens_data();
    void showInFolderSaysWhenNothingOpens();
};
