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

namespace {
struct Runner {
    QByteArray only;
    int argc;
    char** argv;
    int ran = 0, failures = 0;

    template <class Test> void run()
    {
        if (!only.isEmpty() && only != Test::staticMetaObject.className())
            return;
        Test test;
        failures += QTest::qExec(&test, argc, argv);
        ++ran;
    }
};
} // namespace

// Settings, Trash and temporary files stay in a private folder. A test class
// named first runs alone, so that the test runner can run them side by side.
int main(int argc, char** argv)
{
    QByteArray only;
    if (argc > 1 && argv[1][0] != '-') {
        only = argv[1];
        argv[1] = argv[0];
        --argc;
        ++argv;
    }
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
    Runner runner{only, argc, argv};
    runner.run<WindowTest>();
    runner.run<FiguresTest>();
    runner.run<ServicesTest>();
    runner.run<SingleInstanceTest>();
    return runner.ran ? runner.failures : 1; // a class misnamed must not pass
}
