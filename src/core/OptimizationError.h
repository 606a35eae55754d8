// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// Why a job failed, with the sentence shown to the user. `platform` carries an
// error of the file system or the Trash, shown unchanged.
class OptimizationError {
public:
    enum class Kind {
        fileAccessError,
        unsupportedFileType,
        toolExecutionError,
        tempFileError,
        noOptimizationPossible,
        platform
    };

    static OptimizationError fileAccess(const QString& message);
    static OptimizationError unsupportedFileType(const QString& message);
    static OptimizationError toolExecution(const QString& tool, const QString& message);
    static OptimizationError tempFile(const QString& message);
    static OptimizationError noOptimizationPossible();
    static OptimizationError platform(const QString& description);

    Kind kind() const { return kind_; }
    QString toolName() const { return tool_; }
    QString message() const { return message_; }
    QString errorDescription() const;

    bool operator==(const OptimizationError&) const = default;

private:
    OptimizationError(Kind kind, QString message, QString tool = {});
    Kind kind_;
    QString message_;
    QString tool_;
};
