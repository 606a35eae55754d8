// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/DockBadge.h"

#include <QTimer>

DockBadge& DockBadge::shared()
{
    static DockBadge badge;
    return badge;
}

void DockBadge::setLabel(const QString& label)
{
    ++generation_;
    if (label_ == label)
        return;
    label_ = label;
    emit labelChanged();
}

void DockBadge::flash(const QString& label, int milliseconds)
{
    setLabel(label);
    const quint64 shown = generation_;
    QTimer::singleShot(milliseconds, this, [this, shown] {
        if (generation_ == shown)
            setLabel(QString());
    });
}
