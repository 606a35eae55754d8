// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "QuickFixtures.h"
#include "app/IconProvider.h"
#include "app/PictureProvider.h"
#include "platform/KeyValueStore.h"

#include <QQmlContext>
#include <QQmlEngine>
#include <QQmlExtensionPlugin>
#include <QQuickStyle>
#include <QTemporaryDir>
#include <QtQuickTest>

Q_IMPORT_QML_PLUGIN(PresslyProPlugin)

// The components under test import the window's module from its resources.
class QuickSetup : public QObject {
    Q_OBJECT
public slots:
    void applicationAvailable()
    {
        QQuickStyle::setStyle(QStringLiteral("Basic"));
        KeyValueStore::useFile(store_.filePath(QStringLiteral("settings.ini")));
    }
    void qmlEngineAvailable(QQmlEngine* engine)
    {
        engine->addImportPath(QStringLiteral("qrc:/"));
        engine->addImageProvider(QStringLiteral("icon"), new IconProvider);
        engine->addImageProvider(QStringLiteral("picture"), new PictureProvider);
        engine->rootContext()->setContextProperty(QStringLiteral("testData"), QStringLiteral(PRESSLY_TEST_DATA));
        engine->rootContext()->setContextProperty(QStringLiteral("fixtures"), &fixtures_);
    }
    // Queues must go while the application still runs.
    void cleanupTestCase() { qDeleteAll(fixtures_.children()); }

private:
    QTemporaryDir store_;
    QuickFixtures fixtures_;
};

QUICK_TEST_MAIN_WITH_SETUP(pressly_quick, QuickSetup)

#include "QuickTestMain.moc"
