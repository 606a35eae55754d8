// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// While a batch runs, its tool runs may share long-lived tool processes (the
// svgcleaner server); they end with the last open session. Whoever runs a
// batch holds one for the batch's life. Event-loop thread only.
class ToolSession {
public:
    // `concurrency`: how many tool runs the batch may have at once.
    explicit ToolSession(int concurrency);
    ~ToolSession();
    ToolSession(const ToolSession&) = delete;
    ToolSession& operator=(const ToolSession&) = delete;

    static bool isOpen();
    // The largest concurrency of the open sessions.
    static int concurrency();

private:
    int concurrency_;
};
