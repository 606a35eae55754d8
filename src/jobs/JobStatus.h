#pragma once

#include <QString>

#include <optional>

enum class JobStatus { pending, processing, completed, failed, cancelled };

QString toString(JobStatus status);
// Exactly the five texts, case-sensitive; anything else is no status.
std::optional<JobStatus> jobStatusFromString(const QString& text);
bool isFinal(JobStatus status);
