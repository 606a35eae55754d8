// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/DialogPrompts.h"
#include "app/MainView.h"
#include "app/ToolNotices.h"
#include "app/Updater.h"
#include "app/WindowSetup.h"
#include "app/tour/ScreenshotTour.h"

#include "platform/Translations.h"

#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QQmlApplicationEngine>
#include <QQmlExtensionPlugin>
#include <QQuickWindow>
#include <QStandardPaths>
#include <QTimer>

#include <cstdio>

Q_IMPORT_QML_PLUGIN(PresslyProPlugin)

// pressly-pro-screenshots OUT_DIR IMAGES_DIR: the tour, then quits.
int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Pressly Pro"));
    Translations::install(app);
    QApplication::setApplicationVersion(QStringLiteral(PRESSLY_VERSION));
    if (argc != 3) {
        std::fputs("usage: pressly-pro-screenshots OUT_DIR IMAGES_DIR\n", stderr);
        return 2;
    }
    QDir().mkpath(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation));
    QList<QUrl> images;
    for (QDirIterator it(QString::fromLocal8Bit(argv[2]), QDir::Files); it.hasNext();)
        images.append(QUrl::fromLocalFile(it.next()));
    std::sort(images.begin(), images.end());

    DialogPrompts prompts;
    ToolNotices notices;
    MainView view(prompts);
    Updater updater(QUrl(), QApplication::applicationVersion());
    QQmlApplicationEngine engine;
    if (!WindowSetup::load(engine, view, updater, notices))
        return 1;
    auto* window = qobject_cast<QQuickWindow*>(engine.rootObjects().constFirst());
    // PRESSLY_TOUR_SIZE=2560x1440 walks the tour in a large window.
    if (const QList<QByteArray> size = qgetenv("PRESSLY_TOUR_SIZE").split('x'); size.size() == 2)
        window->resize(size[0].toInt(), size[1].toInt());
    ScreenshotTour tour(view, *window, QDir(QString::fromLocal8Bit(argv[1])), images);
    auto walk = [&]() -> QCoro::Task<> {
        co_await tour.run();
        QApplication::quit();
    };
    QTimer::singleShot(0, [&] { walk(); });
    return app.exec();
}
