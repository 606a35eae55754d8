// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QStringList>

// Tools the engine looked for in vain, each told once in the window and as a
// warning on standard error.
class ToolNotices : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString text READ text NOTIFY textChanged)
public:
    explicit ToolNotices(QObject* parent = nullptr);
    QString text() const;
    Q_INVOKABLE void dismiss();

signals:
    void textChanged();

private:
    void noteMissing(const QString& tool);
    QStringList missing_;
    bool dismissed_ = false;
};
