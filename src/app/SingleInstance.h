// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QLocalServer>
#include <QObject>
#include <QString>
#include <QUrl>

// Keeps one window per user: the first launch listens on a local socket in
// the runtime folder; a later launch hands its files to it and ends.
class SingleInstance : public QObject {
    Q_OBJECT
public:
    enum class Role { primary, handedOver, failed };

    // `socketPath` empty: "pressly-pro.socket" in $XDG_RUNTIME_DIR.
    explicit SingleInstance(QString socketPath = {}, QObject* parent = nullptr);

    // Becomes the primary, or hands `files` (absolute) to the one running.
    // A socket left by a crashed window is taken over; launches at the same
    // moment are ordered by a lock file, so exactly one becomes the primary.
    Role claim(const QList<QUrl>& files);

    QString socketPath() const { return socketPath_; }

signals:
    // Files another launch handed over (possibly none: it asked to be shown).
    // Always emitted from the event loop, never from inside the socket's own
    // signal, so a receiver may open a dialog.
    void filesReceived(const QList<QUrl>& files);

private:
    enum class Delivery { delivered, noListener, noAnswer };
    Delivery deliver(const QList<QUrl>& files) const;
    void accept();

    QString socketPath_;
    QLocalServer server_;
};
