// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "jobs/Configuration.h"

#include "jobs/UserPreferences.h"

Configuration::Configuration(QObject* parent)
    : QObject(parent), operationMode_(operationModeFromString(UserPreferences::shared().operationModeRaw())),
      exportPath_(UserPreferences::shared().exportPath())
{
}

QString Configuration::toString(OperationMode mode)
{
    return mode == OperationMode::optimizeOriginals ? QStringLiteral("optimizeOriginals")
                                                    : QStringLiteral("exportToFolder");
}

Configuration::OperationMode Configuration::operationModeFromString(const QString& text)
{
    return text == QLatin1String("optimizeOriginals") ? OperationMode::optimizeOriginals
                                                      : OperationMode::exportToFolder;
}

void Configuration::setOperationMode(OperationMode mode)
{
    if (mode == operationMode_)
        return;
    operationMode_ = mode;
    emit operationModeChanged();
}

void Configuration::setExportPath(const QString& path)
{
    if (path == exportPath_)
        return;
    exportPath_ = path;
    emit exportPathChanged();
}
