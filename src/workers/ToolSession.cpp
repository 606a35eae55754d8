// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "workers/ToolSession.h"

#include "workers/SvgcleanerServer.h"
#include "workers/ToolLocator.h"

#include <algorithm>
#include <map>

namespace {

// Open sessions by concurrency, to tell the largest.
std::multimap<int, const ToolSession*>& openSessions()
{
    static std::multimap<int, const ToolSession*> sessions;
    return sessions;
}

} // namespace

ToolSession::ToolSession(int concurrency) : concurrency_(std::max(1, concurrency))
{
    openSessions().emplace(concurrency_, this);
}

ToolSession::~ToolSession()
{
    auto& sessions = openSessions();
    for (auto it = sessions.begin(); it != sessions.end(); ++it)
        if (it->second == this) {
            sessions.erase(it);
            break;
        }
    if (sessions.empty()) {
        SvgcleanerServer::endShared();
        ToolLocator::forgetFoundTools();
    }
}

bool ToolSession::isOpen()
{
    return !openSessions().empty();
}

int ToolSession::concurrency()
{
    return openSessions().empty() ? 1 : openSessions().rbegin()->first;
}
