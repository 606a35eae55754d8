// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// Byte counts as shown to the user: decimal units, in the user's locale ("1.2 MB").
namespace ByteCountFormatter {
QString format(qint64 bytes);
}
