// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/WindowSetup.h"

#include "app/IconProvider.h"
#include "app/MainView.h"
#include "app/PictureProvider.h"
#include "app/ResultActions.h"
#include "app/ToolNotices.h"
#include "app/Updater.h"
#include "platform/BackgroundTask.h"
#include "platform/ImageIO.h"
#include "platform/Paths.h"
#include "workers/TemporaryFiles.h"

#include <QQmlApplicationEngine>
#include <QQmlContext>
#include <QQuickStyle>

namespace WindowSetup {

bool load(QQmlApplicationEngine& engine, MainView& mainView, Updater& updater, ToolNotices& notices)
{
    // The style can be set once, before any QML loads (tests load the window again).
    static const bool styled = [] {
        QQuickStyle::setStyle(QStringLiteral("Basic"));
        return true;
    }();
    Q_UNUSED(styled);
    // The image library loads its format modules once, a long run of dynamic
    // loading that stalls the renderer's own; done now, it is over before a drop.
    BackgroundTask::run([] { ImageIO::initialize(); });
    // Copies of images a killed run left behind go at once, not at the next drop.
    BackgroundTask::run([] { TemporaryFiles::removeStale(Paths::temporaryDir()); });
    engine.addImportPath(QStringLiteral("qrc:/"));
    engine.addImageProvider(QStringLiteral("icon"), new IconProvider);
    engine.addImageProvider(QStringLiteral("picture"), new PictureProvider);
    // The controllers outlive the engine's objects; QML must never delete them.
    for (QObject* object :
         {static_cast<QObject*>(&mainView), static_cast<QObject*>(&updater), static_cast<QObject*>(&notices)})
        QQmlEngine::setObjectOwnership(object, QQmlEngine::CppOwnership);
    engine.rootContext()->setContextProperty(QStringLiteral("mainView"), &mainView);
    engine.rootContext()->setContextProperty(QStringLiteral("updater"), &updater);
    engine.rootContext()->setContextProperty(QStringLiteral("toolNotices"), &notices);
    engine.rootContext()->setContextProperty(QStringLiteral("resultActions"),
                                             new ResultActions(*mainView.jobs(), &engine));
    engine.load(QUrl(QStringLiteral("qrc:/PresslyPro/Main.qml")));
    return !engine.rootObjects().isEmpty();
}

} // namespace WindowSetup
