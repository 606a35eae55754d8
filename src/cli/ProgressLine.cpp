// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/ProgressLine.h"

#include "cli/TerminalText.h"

#include <cstdio>
#include <unistd.h>

ProgressLine::ProgressLine() : enabled_(::isatty(STDERR_FILENO) == 1)
{
}

void ProgressLine::update(int done, int total, const QString& currentFile)
{
    if (!enabled_)
        return;
    QString name = TerminalText::quoted(currentFile);
    if (name.size() > 50)
        name = QStringLiteral("…") + name.right(49);
    text_ = QStringLiteral("[%1/%2] %3").arg(QString::number(done), QString::number(total), name);
    redraw();
}

void ProgressLine::clear()
{
    if (enabled_ && !text_.isEmpty())
        std::fputs("\r\033[K", stderr);
}

void ProgressLine::redraw()
{
    if (!enabled_ || text_.isEmpty())
        return;
    std::fprintf(stderr, "\r\033[K%s", text_.toUtf8().constData());
    std::fflush(stderr);
}

void ProgressLine::finish()
{
    clear();
    text_.clear();
    std::fflush(stderr);
}
