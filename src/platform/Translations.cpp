// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace Translations {

namespace {
bool load(QCoreApplication& app, const QString& name, const QString& folder, const QLocale& locale)
{
    auto* translator = new QTranslator(&app);
    if (translator->load(locale, name, QStringLiteral("_"), folder) && QCoreApplication::installTranslator(translator))
        return true;
    delete translator;
    return false;
}
} // namespace

void install(QCoreApplication& app)
{
    load(app, QStringLiteral("qtbase"), QLibraryInfo::path(QLibraryInfo::TranslationsPath), QLocale());
    // The sources are English with one form for every count; the English
    // catalogue adds the singulars ("1 photo"), for every language we lack.
    const QString ours = QStringLiteral(":/i18n");
    if (!load(app, QStringLiteral("pressly"), ours, QLocale()))
        load(app, QStringLiteral("pressly"), ours, QLocale(QLocale::English));
}

} // namespace Translations
