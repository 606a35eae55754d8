// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

// Tools looked for in vain, as they are looked for (once per lookup, on
// whichever thread looked): front ends tell the user once.
class MissingTools : public QObject {
    Q_OBJECT
public:
    static MissingTools& shared();

signals:
    void missing(const QString& tool);

private:
    MissingTools() = default;
};
