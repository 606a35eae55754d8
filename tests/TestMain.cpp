// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "platform/KeyValueStore.h"

// Tests own the application object: coroutines and queued calls need its
// event loop. The store and the XDG folders point into a private folder so no
// test touches the user's settings or Trash.
int main(int argc, char** argv)
{
    QTemporaryDir home;
    qputenv("XDG_DATA_HOME", home.filePath("data").toUtf8());
    qputenv("XDG_CONFIG_HOME", home.filePath("config").toUtf8());
    QDir().mkpath(home.filePath("data"));
    QCoreApplication app(argc, argv);
    KeyValueStore::useFile(home.filePath("settings.ini"));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
