// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/ToolNotices.h"

#include "platform/Log.h"
#include "workers/MissingTools.h"

#include <QHash>

ToolNotices::ToolNotices(QObject* parent) : QObject(parent)
{
    // Lookups happen on pool threads too; the notice lives on the event loop.
    connect(&MissingTools::shared(), &MissingTools::missing, this, &ToolNotices::noteMissing, Qt::QueuedConnection);
}

namespace {
// Tools that Debian packages; the others come with Pressly Pro itself.
QString debianPackageOf(const QString& tool)
{
    static const QHash<QString, QString> packages{{QStringLiteral("pngquant"), QStringLiteral("pngquant")},
                                                  {QStringLiteral("jpegoptim"), QStringLiteral("jpegoptim")},
                                                  {QStringLiteral("jpegtran"), QStringLiteral("libjpeg-turbo-progs")},
                                                  {QStringLiteral("gifsicle"), QStringLiteral("gifsicle")}};
    return packages.value(tool);
}
} // namespace

// An installed app's user has no scripts folder: name what to install.
QString ToolNotices::text() const
{
    if (missing_.isEmpty() || dismissed_)
        return {};
    QStringList packages;
    QStringList bundled;
    for (const QString& tool : missing_) {
        const QString package = debianPackageOf(tool);
        if (package.isEmpty())
            bundled.append(tool);
        else if (!packages.contains(package))
            packages.append(package);
    }
    const QString tools = missing_.join(QStringLiteral(", "));
    QString text = missing_.size() == 1 ? tr("%1 is not installed.").arg(tools)
                                        : tr("%1 are not installed.").arg(tools);
    text += QLatin1Char(' ') + tr("Pressly Pro uses a slower built-in method for these files, or skips them.");
    if (!packages.isEmpty())
        text += QLatin1Char(' ') + tr("To install: sudo apt install %1.").arg(packages.join(QLatin1Char(' ')));
    if (!bundled.isEmpty())
        text += QLatin1Char(' ')
                + tr("%1 came with Pressly Pro: reinstall the pressly-pro package.")
                      .arg(bundled.join(QStringLiteral(", ")));
    return text;
}

void ToolNotices::dismiss()
{
    dismissed_ = true;
    emit textChanged();
}

void ToolNotices::noteMissing(const QString& tool)
{
    if (missing_.contains(tool))
        return;
    qCWarning(lcTools).noquote() << tool << "is not installed";
    missing_.append(tool);
    dismissed_ = false;
    emit textChanged();
}
