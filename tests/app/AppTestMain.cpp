// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "FiguresTest.h"
#include "ServicesTest.h"
#include "SingleInstanceTest.h"
#include "WindowTest.h"
#include "platform/KeyValueStore.h"
#include "platform/Translations.h"

#include <QApplication>
#include <QDir>
#include <QQmlExtensionPlugin>
#include <QTemporaryDir>
#include <QtTest>

Q_IMPORT_QML_PLUGIN(PresslyProPlugin)

// Settings, Trash and temporary files stay in a private folder.
int main(int argc, char** argv)
{
    QTemporaryDir home;
    const QDir root(home.path());
    for (const char* sub : {"data", "config", "runtime", "tmp"})
        root.mkpath(QString::fromLatin1(sub));
    QFile::setPermissions(root.filePath("runtime"),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    qputenv("XDG_DATA_HOME", root.filePath("data").toUtf8());
    qputenv("XDG_CONFIG_HOME", root.filePath("config").toUtf8());
    qputenv("XDG_RUNTIME_DIR", root.filePath("runtime").toUtf8());
    qputenv("TMPDIR", root.filePath("tmp").toUtf8());
    // English as the program speaks it, singulars included, whatever the desktop's language.
    qputenv("LC_ALL", "C.UTF-8");
    qunsetenv("LANGUAGE");
    QApplication app(argc, argv);
    Translations::install(app);
    KeyValueStore::useFile(root.filePath("settings.ini"));
    int failures = 0;
    WindowTest window;
    failures += QTest::qExec(&window, argc, argv);
    FiguresTest figures;
    failures += QTest::qExec(&figures, argc, argv);
    ServicesTest services;
    failures += QTest::qExec(&services, argc, argv);
    SingleInstanceTest single;
    failures += QTest::qExec(&single, argc, argv);
    return failures;
}
