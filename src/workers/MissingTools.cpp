// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "workers/MissingTools.h"

MissingTools& MissingTools::shared()
{
    static MissingTools instance;
    return instance;
}
