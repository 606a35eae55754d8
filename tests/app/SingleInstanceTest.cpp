#include "SingleInstanceTest.h"

#include "app/SingleInstance.h"

#include <QLocalSocket>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

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

void startWindow(QProcess& process, const QProcessEnvironment& env, const QStringList& arguments = {})
{
    process.setProcessEnvironment(env);
    process.start(QStringLiteral(PRESSLY_APP_BINARY), arguments);
    QVERIFY(process.waitForStarted());
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
    second.setWorkingDirectory(runtime.path());
    startWindow(second, env, {QStringLiteral("photo one.png")});
    QTRY_COMPARE_WITH_TIMEOUT(received.size(), 1, 30000);
    QCOMPARE(received[0][0].value<QList<QUrl>>(),
             QList<QUrl>{QUrl::fromLocalFile(runtime.filePath(QStringLiteral("photo one.png")))});
    QTRY_COMPARE_WITH_TIMEOUT(second.state(), QProcess::NotRunning, 10000);
    QCOMPARE(second.exitCode(), 0);
}

void SingleInstanceTest::launchesAtOnceEndWithOneWindow()
{
    QTemporaryDir runtime;
    const QProcessEnvironment env = runtimeIn(runtime);
    QProcess one;
    QProcess two;
    startWindow(one, env);
    startWindow(two, env);
    QTRY_VERIFY_WITH_TIMEOUT(one.state() == QProcess::NotRunning || two.state() == QProcess::NotRunning, 60000);
    QProcess& handedOver = one.state() == QProcess::NotRunning ? one : two;
    QProcess& window = &handedOver == &one ? two : one;
    QCOMPARE(handedOver.exitCode(), 0);
    QTest::qWait(500);
    QCOMPARE(window.state(), QProcess::Running);

    QLocalSocket probe;
    probe.connectToServer(runtime.filePath(QStringLiteral("pressly-pro.socket")));
    QVERIFY(probe.waitForConnected(5000));
    window.kill();
    window.waitForFinished();
}
