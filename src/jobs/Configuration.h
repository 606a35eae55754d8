// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QString>

// The working copy of the settings that the engine reads. Seeded from the
// preferences once; afterwards the user interface writes it beside them.
class Configuration : public QObject {
    Q_OBJECT

public:
    enum class OperationMode { optimizeOriginals, exportToFolder };
    Q_ENUM(OperationMode)

private:
    Q_PROPERTY(OperationMode operationMode READ operationMode WRITE setOperationMode NOTIFY operationModeChanged)
    Q_PROPERTY(QString exportPath READ exportPath WRITE setExportPath NOTIFY exportPathChanged)

public:
    explicit Configuration(QObject* parent = nullptr);

    static QString toString(OperationMode mode);
    // Only the exact text "optimizeOriginals" replaces originals.
    static OperationMode operationModeFromString(const QString& text);

    OperationMode operationMode() const { return operationMode_; }
    QString exportPath() const { return exportPath_; }

    void setOperationMode(OperationMode mode);
    void setExportPath(const QString& path);

signals:
    void operationModeChanged();
    void exportPathChanged();

private:
    OperationMode operationMode_;
    QString exportPath_;
};
