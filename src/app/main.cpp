#include "app/DialogPrompts.h"
#include "app/LauncherBadge.h"
#include "app/MainView.h"
#include "app/ToolNotices.h"
#include "app/Updater.h"
#include "app/WindowSetup.h"
#include "jobs/ReplacementJournal.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDesktopServices>
#include <QDir>
#include <QMessageBox>
#include <QPushButton>
#include <QQmlApplicationEngine>
#include <QQmlExtensionPlugin>
#include <QStandardPaths>
#include <QTimer>

Q_IMPORT_QML_PLUGIN(PresslyProPlugin)

namespace {
void showUpdateResult(const Updater::Result& result)
{
    QMessageBox box(result.outcome == Updater::Outcome::failed ? QMessageBox::Warning : QMessageBox::Information,
                    QStringLiteral("Software Update"), result.message);
    box.setInformativeText(result.notes);
    QPushButton* download = nullptr;
    if (result.outcome == Updater::Outcome::updateAvailable && result.downloadPage.isValid())
        download = box.addButton(QStringLiteral("Open Download Page"), QMessageBox::AcceptRole);
    box.addButton(QMessageBox::Close);
    box.exec();
    if (download && box.clickedButton() == download)
        QDesktopServices::openUrl(result.downloadPage);
}
} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Pressly Pro"));
    QApplication::setApplicationVersion(QStringLiteral(PRESSLY_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("pressly-pro"));
    // The Trash lives here; without it the platform would trash into ./files.
    QDir().mkpath(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation));
    // Replacements an earlier run was cut off in finish first, before the window shows.
    ReplacementJournal().recoverInterrupted();

    QCommandLineParser parser;
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("paths"), QStringLiteral("Images or folders to optimize."),
                                 QStringLiteral("[PATH...]"));
    parser.process(app);

    DialogPrompts prompts;
    ToolNotices notices;
    MainView mainView(prompts);
    Updater updater(QUrl(QStringLiteral(PRESSLY_UPDATE_FEED)), QApplication::applicationVersion());
    LauncherBadge badge(*mainView.jobQueue());
    QObject::connect(&updater, &Updater::checkFinished, &showUpdateResult);
    QApplication::setQuitOnLastWindowClosed(false);

    QQmlApplicationEngine engine;
    if (!WindowSetup::load(engine, mainView, updater, notices))
        return 1;
    updater.start();

    QList<QUrl> dropped;
    for (const QString& path : parser.positionalArguments())
        dropped.append(QUrl::fromLocalFile(QDir::current().absoluteFilePath(path)));
    if (!dropped.isEmpty())
        mainView.handleDrop(dropped);
    return app.exec();
}
