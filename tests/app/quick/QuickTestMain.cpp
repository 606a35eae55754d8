#include "app/IconProvider.h"
#include "app/PictureProvider.h"

#include <QQmlContext>
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
        engine->addImageProvider(QStringLiteral("picture"), new PictureProvider);
        engine->rootContext()->setContextProperty(QStringLiteral("testData"), QStringLiteral(PRESSLY_TEST_DATA));
    }
};

QUICK_TEST_MAIN_WITH_SETUP(pressly_quick, QuickSetup)

#include "QuickTestMain.moc"
