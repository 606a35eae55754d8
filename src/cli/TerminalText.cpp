// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/TerminalText.h"

#include <algorithm>

bool TerminalText::isControl(QChar c)
{
    const char16_t u = c.unicode();
    return u < 0x20 || (u >= 0x7F && u <= 0x9F);
}

QString TerminalText::escaped(QChar c)
{
    switch (c.unicode()) {
    case u'\a':
        return QStringLiteral("\\a");
    case u'\b':
        return QStringLiteral("\\b");
    case u'\f':
        return QStringLiteral("\\f");
    case u'\v':
        return QStringLiteral("\\v");
    case u'\n':
        return QStringLiteral("\\n");
    case u'\t':
        return QStringLiteral("\\t");
    case u'\r':
        return QStringLiteral("\\r");
    default:
        break;
    }
    QString octal;
    for (const char byte : QString(c).toUtf8())
        octal += QStringLiteral("\\%1").arg(uint(quint8(byte)), 3, 8, QLatin1Char('0'));
    return octal;
}

QString TerminalText::quoted(const QString& name)
{
    if (std::none_of(name.begin(), name.end(), isControl))
        return name;
    QString shown;
    for (qsizetype at = 0; at < name.size();) {
        const bool control = isControl(name[at]);
        qsizetype end = at;
        while (end < name.size() && isControl(name[end]) == control)
            ++end;
        const QString run = name.mid(at, end - at);
        if (control) {
            shown += QStringLiteral("$'");
            for (const QChar c : run)
                shown += escaped(c);
        } else {
            shown += QLatin1Char('\'') + QString(run).replace(QLatin1Char('\''), QStringLiteral("'\\''"));
        }
        shown += QLatin1Char('\'');
        at = end;
    }
    return shown;
}

QString TerminalText::withoutControls(const QString& text)
{
    QString shown = text;
    std::replace_if(shown.begin(), shown.end(), isControl, QLatin1Char('?'));
    return shown;
}
