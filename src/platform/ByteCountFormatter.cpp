// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/ByteCountFormatter.h"

#include <QLocale>

namespace ByteCountFormatter {

QString format(qint64 bytes)
{
    // The user's locale writes the number ("1,2 MB" in German); units are
    // decimal, as file managers show them, with one decimal above bytes.
    return QLocale().formattedDataSize(bytes, 1, QLocale::DataSizeSIFormat);
}

} // namespace ByteCountFormatter
