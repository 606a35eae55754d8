// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/PackageInstallation.h"

#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

// The package manager brings updates only for the copy it installed: not for
// a build beside it, nor for another package's files.
TEST(PackageInstallation, OnlyTheCopyDpkgListsIsItsOwn)
{
    QTemporaryDir dir;
    const QString installed = dir.filePath("usr/bin/pressly-pro"), built = dir.filePath("build/bin/pressly-pro");
    const QString info = dir.filePath("info"), linked = dir.filePath("bin");
    for (const QString& file : {installed, built}) {
        QDir().mkpath(QFileInfo(file).path());
        TestSupport::writeFile(file, "#!");
    }
    QDir().mkpath(info);
    ASSERT_TRUE(QFile::link(dir.filePath("usr/bin"), linked));
    TestSupport::writeFile(info + "/pressly-pro:amd64.list", ("/.\n/usr\n" + linked + "/pressly-pro\n").toUtf8());
    TestSupport::writeFile(info + "/other.list", (built + "\n").toUtf8());

    const std::tuple<QString, QString, bool> cases[] = {{installed, "pressly-pro", true},
                                                        {built, "pressly-pro", false},
                                                        {built, "other", true},
                                                        {installed, "other", false},
                                                        {dir.filePath("gone"), "pressly-pro", false}};
    for (const auto& [executable, package, owned] : cases)
        EXPECT_EQ(PackageInstallation::ownedByDpkg(executable, package, info), owned)
            << executable.toStdString() << " " << package.toStdString();
}
