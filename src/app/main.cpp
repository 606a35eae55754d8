// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/DialogPrompts.h"
#include "app/LauncherBadge.h"
#include "app/MainView.h"
#include "app/SingleInstance.h"
#include "app/ToolNotices.h"
#include "app/Updater.h"
#include "app/WindowSetup.h"
#include "jobs/ReplacementJournal.h"
#include "platform/LaunchArgument.h"
#include "platform/PackageInstallation.h"
#include "platform/Translations.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDesktopServices>
#include <QDir>
#include <QIcon>
#include <QMessageBox>
#include <QPushButton>
#include <QQmlApplicationEngine>
#include <QQmlExtensionPlugin>
#include <QStandardPaths>
#include <QTimer>
#include <QWindow>

#include <cstdio>

Q_IMPORT_QML_PLUGIN(PresslyProPlugin)

namespace {
void showUpdateResult(const Updater::Result& result)
{
    QMessageBox box(result.outcome == Updater::Outcome::failed ? QMessageBox::Warning : QMessageBox::Information,
                    QCoreApplication::translate("main", "Software Update"), result.message);
    box.setInformativeText(result.notes);
    QPushButton* download = nullptr;
    if (result.outcome == Updater::Outcome::updateAvailable && result.downloadPage.isValid())
        download = box.addButton(QCoreApplication::translate("main", "Open Download Page"), QMessageBox::AcceptRole);
    box.addButton(QMessageBox::Close);
    box.exec();
    if (download && box.clickedButton() == download)
        QDesktopServices::openUrl(result.downloadPage);
}

void raise(const QQmlApplicationEngine& engine)
{
    auto* window = qobject_cast<QWindow*>(engine.rootObjects().value(0));
    if (!window)
        return;
    if (window->windowState() & Qt::WindowMinimized)
        window->showNormal();
    window->show();
    window->raise();
    window->requestActivate();
}

// Names, version and language, as --help and --version and the desktop see them.
void describe(QCoreApplication& app)
{
    QCoreApplication::setApplicationName(QStringLiteral("Pressly Pro"));
    Translations::install(app);
    QCoreApplication::setApplicationVersion(QStringLiteral(PRESSLY_VERSION));
}

QCommandLineOption checkOption()
{
    return QCommandLineOption(
        QStringLiteral("check"),
        QCoreApplication::translate("main", "Load the window, then quit: 0 when it could be made."));
}

void addOptions(QCommandLineParser& parser, const QCommandLineOption& check)
{
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addOption(check);
    parser.addPositionalArgument(QStringLiteral("paths"),
                                 QCoreApplication::translate("main", "Images or folders to optimize."),
                                 QCoreApplication::translate("main", "[PATH...]"));
}

// --help and --version need no display: answered before the GUI application,
// which aborts without one.
bool answersWithoutWindow(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        const QByteArray argument(argv[i]);
        if (argument == "--")
            return false;
        if (argument == "-h" || argument == "--help" || argument == "--help-all" || argument == "-v"
            || argument == "--version")
            return true;
    }
    return false;
}
} // namespace

int main(int argc, char** argv)
{
    if (answersWithoutWindow(argc, argv)) {
        QCoreApplication core(argc, argv);
        describe(core);
        QCommandLineParser parser;
        addOptions(parser, checkOption());
        parser.process(core); // prints and exits
        return 0;
    }
    QApplication app(argc, argv);
    describe(app);
    QApplication::setDesktopFileName(QStringLiteral(PRESSLY_APP_ID));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral(PRESSLY_APP_ID)));

    QCommandLineParser parser;
    const QCommandLineOption check = checkOption();
    addOptions(parser, check);
    parser.process(app);
    const bool checking = parser.isSet(check);

    QList<QUrl> dropped;
    QStringList refusals;
    for (const QString& argument : parser.positionalArguments()) {
        const LaunchArgument::Resolved named = LaunchArgument::resolve(argument);
        if (named.refusal.isEmpty())
            dropped.append(QUrl::fromLocalFile(QDir::current().absoluteFilePath(named.path)));
        else
            refusals.append(named.refusal);
    }
    // A launcher shows no standard error: say it in the window as well.
    if (!refusals.isEmpty() && !checking) {
        std::fprintf(stderr, "pressly-pro: %s\n", qPrintable(refusals.join(QStringLiteral("\npressly-pro: "))));
        QMessageBox::warning(nullptr, QApplication::applicationName(), refusals.join(QLatin1Char('\n')));
    }
    SingleInstance instance;
    if (!checking) {
        const SingleInstance::Role role = instance.claim(dropped);
        if (role == SingleInstance::Role::handedOver)
            return 0;
        if (role == SingleInstance::Role::failed)
            std::fprintf(stderr, "pressly-pro: the running window did not answer on %s; opening another\n",
                         qPrintable(instance.socketPath()));
    }

    // The Trash lives here; without it the platform would trash into ./files.
    QDir().mkpath(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation));
    // Replacements an earlier run was cut off in finish first, before the window shows.
    if (!checking)
        ReplacementJournal().recoverInterrupted();

    DialogPrompts prompts;
    ToolNotices notices;
    MainView mainView(prompts);
    Updater updater(
        QUrl(QStringLiteral(PRESSLY_UPDATE_FEED)), QApplication::applicationVersion(),
        PackageInstallation::ownedByDpkg(QApplication::applicationFilePath(), QStringLiteral("pressly-pro")));
    LauncherBadge badge(*mainView.jobQueue(), mainView.statsPanel());
    QObject::connect(&updater, &Updater::checkFinished, &showUpdateResult);
    QApplication::setQuitOnLastWindowClosed(false);

    QQmlApplicationEngine engine;
    if (!WindowSetup::load(engine, mainView, updater, notices))
        return 1;
    if (checking)
        return 0;
    updater.start();

    QObject::connect(&instance, &SingleInstance::filesReceived, &mainView, [&](const QList<QUrl>& files) {
        raise(engine);
        if (!files.isEmpty())
            mainView.handleDrop(files);
    });
    if (!dropped.isEmpty())
        mainView.handleDrop(dropped);
    return app.exec();
}
