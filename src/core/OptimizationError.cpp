// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/OptimizationError.h"

#include <QCoreApplication>

OptimizationError::OptimizationError(Kind kind, QString message, QString tool)
    : kind_(kind), message_(std::move(message)), tool_(std::move(tool))
{
}

OptimizationError OptimizationError::fileAccess(const QString& message)
{
    return {Kind::fileAccessError, message};
}

OptimizationError OptimizationError::unsupportedFileType(const QString& message)
{
    return {Kind::unsupportedFileType, message};
}

OptimizationError OptimizationError::toolExecution(const QString& tool, const QString& message)
{
    return {Kind::toolExecutionError, message, tool};
}

OptimizationError OptimizationError::tempFile(const QString& message)
{
    return {Kind::tempFileError, message};
}

OptimizationError OptimizationError::noOptimizationPossible()
{
    return {Kind::noOptimizationPossible, {}};
}

OptimizationError OptimizationError::platform(const QString& description)
{
    return {Kind::platform, description};
}

QString OptimizationError::errorDescription() const
{
    switch (kind_) {
    case Kind::fileAccessError:
        return QCoreApplication::translate("OptimizationError", "File access error: %1").arg(message_);
    case Kind::unsupportedFileType:
        return QCoreApplication::translate("OptimizationError", "Unsupported file type: %1").arg(message_);
    case Kind::toolExecutionError:
        return QCoreApplication::translate("OptimizationError", "%1 failed: %2").arg(tool_, message_);
    case Kind::tempFileError:
        return QCoreApplication::translate("OptimizationError", "Temporary file error: %1").arg(message_);
    case Kind::noOptimizationPossible:
        return QCoreApplication::translate("OptimizationError", "No optimization was possible for this file");
    case Kind::platform:
        return message_;
    }
    return message_;
}
