// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QCoreApplication;

// The user's language for our strings and Qt's own (standard dialogs and
// buttons). Our catalogues are built in; Qt's come from its translations
// folder when the distribution installed them.
namespace Translations {
void install(QCoreApplication& app);
}
