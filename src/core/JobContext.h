// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QUrl>
#include <QUuid>

#include <memory>
#include <optional>

// What the tools and their competition may know of a job and tell it. The job
// itself lives above them; they never see more than this.
class JobContext {
public:
    using Ptr = std::shared_ptr<JobContext>;
    virtual ~JobContext() = default;

    virtual QUuid id() const = 0;
    virtual QUrl fileURL() const = 0;
    virtual qint64 originalSize() const = 0;
    // Pixels of all frames as the image's header declares them; 0 when unknown.
    virtual qint64 declaredPixels() const { return 0; }
    // The job's batch was cancelled: a stop reaches only the tools already
    // running, so no tool may start for it after that. Event-loop thread only.
    virtual bool batchCancelled() const { return false; }
    // The smallest accepted output so far, if any.
    virtual std::optional<qint64> optimizedSize() const = 0;
    // An accepted tool output: it becomes the job's optimized size, and the
    // smallest output so far names the best tool. Event-loop thread only.
    virtual void recordToolResult(const QString& toolName, qint64 size) = 0;
    // May be called from any thread; takes effect on the event-loop thread.
    virtual void reportProgress(double fraction, const QString& toolName) = 0;
};
