#include "app/IconProvider.h"

#include <QQmlEngine>
#include <QQmlExtensionPlugin>
#include <QQuickStyle>
#include <QtQuickTest>

Q_IMPORT_QML_PLUGIN(PresslyProPlugin)

// The components under test import the window's module from its resources.
class QuickSetup : public QObject {
    Q_OBJECT
public slots:
    void applicationAvailable() { QQuickStyle::setStyle(QStringLiteral("Basic")); }
    void qmlEngineAvailable(QQmlEngine* engine)
    {
        engine->addImportPath(QStringLiteral("qrc:/"));
        engine->addImageProvider(QStringLiteral("icon"), new IconProvider);
    }
};

QUICK_TEST_MAIN_WITH_SETUP(pressly_quick, QuickSetup)

#include "QuickTestMain.moc"
