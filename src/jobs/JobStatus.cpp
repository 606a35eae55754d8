// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "jobs/JobStatus.h"

#include <array>

namespace {
constexpr std::array<std::pair<JobStatus, const char*>, 5> names{{
    {JobStatus::pending, "pending"},
    {JobStatus::processing, "processing"},
    {JobStatus::completed, "completed"},
    {JobStatus::failed, "failed"},
    {JobStatus::cancelled, "cancelled"},
}};
}

QString toString(JobStatus status)
{
    for (const auto& [value, name] : names)
        if (value == status)
            return QString::fromLatin1(name);
    return {};
}

std::optional<JobStatus> jobStatusFromString(const QString& text)
{
    for (const auto& [value, name] : names)
        if (text == QLatin1String(name))
            return value;
    return std::nullopt;
}

bool isFinal(JobStatus status)
{
    return status == JobStatus::completed || status == JobStatus::failed || status == JobStatus::cancelled;
}
