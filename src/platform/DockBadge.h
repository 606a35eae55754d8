// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QString>

// The application's badge (a count while jobs run, the bytes saved for a
// moment after a batch). Linux desktops have no common dock badge, so views
// show this text where they like.
class DockBadge : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString label READ label NOTIFY labelChanged)
public:
    static DockBadge& shared();
    QString label() const { return label_; }
    void setLabel(const QString& label);
    // Shows `label` and clears it after `milliseconds` unless it changed meanwhile.
    void flash(const QString& label, int milliseconds);
signals:
    void labelChanged();

private:
    QString label_;
    quint64 generation_ = 0;
};
