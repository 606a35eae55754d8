// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "SingleInstanceTest.h"

#include "app/SingleInstance.h"

#include <QEventLoop>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>

#include <atomic>
#include <memory>
#include <vector>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {
// A runtime folder of its own, as the session gives each user.
QProcessEnvironment runtimeIn(const QTemporaryDir& dir)
{
    QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), dir.path());
    return env;
}

// What a window that crashed leaves: a socket file nobody listens on.
void leaveStaleSocket(const QString& path)
{
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    qstrncpy(address.sun_path, QFile::encodeName(path).constData(), sizeof address.sun_path);
    QCOMPARE(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ::close(fd);
}
} // namespace

void SingleInstanceTest::staleSocketTakenOverAndFilesHandedOver()
{
    QTemporaryDir runtime;
    const QProcessEnvironment env = runtimeIn(runtime);
    const QString socketPath = runtime.filePath(QStringLiteral("pressly-pro.socket"));
    leaveStaleSocket(socketPath);

    SingleInstance first(socketPath);
    QCOMPARE(first.claim({}), SingleInstance::Role::primary);
    QSignalSpy received(&first, &SingleInstance::filesReceived);

    QProcess second;
    // The receiver opens a dialog, whose loop runs until the launch has
    // ended and its connection is gone.
    connect(&first, &SingleInstance::filesReceived, &second, [&second] {
        QEventLoop dialog;
        connect(&second, &QProcess::finished, &dialog, &QEventLoop::quit);
        if (second.state() != QProcess::NotRunning)
            dialog.exec();
    });
    second.setWorkingDirectory(runtime.path());
    second.setProcessEnvironment(env);
    second.start(QStringLiteral(PRESSLY_APP_BINARY), {QStringLiteral("photo one.png")});
    QTRY_COMPARE_WITH_TIMEOUT(received.size(), 1, 30000);
    QCOMPARE(received[0][0].value<QList<QUrl>>(),
             QList<QUrl>{QUrl::fromLocalFile(runtime.filePath(QStringLiteral("photo one.png")))});
    QTRY_COMPARE_WITH_TIMEOUT(second.state(), QProcess::NotRunning, 10000);
    QCOMPARE(second.exitCode(), 0);
}

// Claims started at the same instant, as processes started together could
// make them: exactly one listens, every other hands over to it.
void SingleInstanceTest::launchesAtOnceEndWithOneWindow()
{
    QTemporaryDir runtime;
    const QString socketPath = runtime.filePath(QStringLiteral("pressly-pro.socket"));
    constexpr int launches = 4;
    std::atomic<int> started{0}, primaries{0}, handedOver{0}, failed{0};
    std::atomic<bool> finished{false};
    std::vector<std::unique_ptr<QThread>> threads;
    for (int i = 0; i < launches; ++i) {
        threads.emplace_back(QThread::create([&] {
            SingleInstance instance(socketPath);
            ++started;
            while (started < launches) { }
            const SingleInstance::Role role = instance.claim({});
            if (role != SingleInstance::Role::primary) {
                ++(role == SingleInstance::Role::handedOver ? handedOver : failed);
                return;
            }
            ++primaries;
            QTimer tick; // wakes the wait below to see `finished`
            tick.start(5);
            while (!finished)
                QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
        }));
        threads.back()->start();
    }
    QTRY_VERIFY_WITH_TIMEOUT(primaries + handedOver + failed == launches, 30000);
    finished = true;
    for (auto& thread : threads)
        thread->wait();
    QCOMPARE(primaries.load(), 1);
    QCOMPARE(handedOver.load(), launches - 1);
}
