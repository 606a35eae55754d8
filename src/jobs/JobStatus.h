// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <optional>

enum class JobStatus { pending, processing, completed, failed, cancelled };

QString toString(JobStatus status);
// Exactly the five texts, case-sensitive; anything else is no status.
std::optional<JobStatus> jobStatusFromString(const QString& text);
bool isFinal(JobStatus status);
