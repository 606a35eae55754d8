// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/SingleInstance.h"

#include <QDataStream>
#include <QDir>
#include <QLocalSocket>
#include <QLockFile>
#include <QPointer>
#include <QStandardPaths>
#include <QUrl>

namespace {
constexpr int connectMs = 2000;
// The running window may be busy for a moment (a dialog, a large drop).
constexpr int answerMs = 10000;
constexpr char accepted = '1';
} // namespace

SingleInstance::SingleInstance(QString socketPath, QObject* parent)
    : QObject(parent), socketPath_(std::move(socketPath))
{
    if (socketPath_.isEmpty())
        socketPath_ = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation)
                      + QStringLiteral("/pressly-pro.socket");
    server_.setSocketOptions(QLocalServer::UserAccessOption);
    connect(&server_, &QLocalServer::newConnection, this, &SingleInstance::accept);
}

SingleInstance::Role SingleInstance::claim(const QList<QUrl>& files)
{
    // Held from the look for a listener until this one listens. QLockFile
    // takes over a lock whose process is gone.
    QLockFile lock(socketPath_ + QStringLiteral(".lock"));
    if (!lock.tryLock(answerMs + connectMs))
        return Role::failed;
    switch (deliver(files)) {
    case Delivery::delivered:
        return Role::handedOver;
    case Delivery::noAnswer:
        return Role::failed;
    case Delivery::noListener:
        break;
    }
    // Nobody answers on it: what is left is a crashed window's socket.
    QLocalServer::removeServer(socketPath_);
    return server_.listen(socketPath_) ? Role::primary : Role::failed;
}

SingleInstance::Delivery SingleInstance::deliver(const QList<QUrl>& files) const
{
    QLocalSocket socket;
    socket.connectToServer(socketPath_);
    if (!socket.waitForConnected(connectMs))
        return Delivery::noListener;
    QByteArray message;
    QDataStream encoder(&message, QIODevice::WriteOnly);
    encoder << files;
    QDataStream out(&socket);
    out << message;
    if (!socket.waitForBytesWritten(answerMs))
        return Delivery::noAnswer;
    while (socket.bytesAvailable() == 0)
        if (!socket.waitForReadyRead(answerMs))
            return Delivery::noAnswer;
    char answer = 0;
    return socket.getChar(&answer) && answer == accepted ? Delivery::delivered : Delivery::noAnswer;
}

void SingleInstance::accept()
{
    while (QLocalSocket* socket = server_.nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket = QPointer<QLocalSocket>(socket)] {
            if (!socket)
                return;
            QDataStream stream(socket);
            stream.startTransaction();
            QByteArray message;
            stream >> message;
            if (!stream.commitTransaction())
                return; // the rest is still on its way
            QList<QUrl> files;
            QDataStream decoder(message);
            decoder >> files;
            socket->putChar(accepted);
            socket->disconnectFromServer();
            QList<QUrl> local;
            for (const QUrl& url : std::as_const(files))
                if (url.isLocalFile())
                    local.append(url);
            // Told from the event loop, after this handler has returned: a
            // receiver that opens a dialog spins a nested loop, and in it the
            // socket's deleteLater would free the socket under its own signal.
            QMetaObject::invokeMethod(
                this, [this, local] { emit filesReceived(local); }, Qt::QueuedConnection);
        });
    }
}
