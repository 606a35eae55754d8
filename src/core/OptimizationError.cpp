#include "core/OptimizationError.h"

OptimizationError::OptimizationError(Kind kind, QString message, QString tool)
    : kind_(kind), message_(std::move(message)), tool_(std::move(tool))
{
}

OptimizationError OptimizationError::fileAccess(const QString& message) { return {Kind::fileAccessError, message}; }

OptimizationError OptimizationError::unsupportedFileType(const QString& message)
{
    return {Kind::unsupportedFileType, message};
}

OptimizationError OptimizationError::toolExecution(const QString& tool, const QString& message)
{
    return {Kind::toolExecutionError, message, tool};
}

OptimizationError OptimizationError::tempFile(const QString& message) { return {Kind::tempFileError, message}; }

OptimizationError OptimizationError::noOptimizationPossible() { return {Kind::noOptimizationPossible, {}}; }

OptimizationError OptimizationError::platform(const QString& description) { return {Kind::platform, description}; }

QString OptimizationError::errorDescription() const
{
    switch (kind_) {
    case Kind::fileAccessError:
        return QStringLiteral("File access error: ") + message_;
    case Kind::unsupportedFileType:
        return QStringLiteral("Unsupported file type: ") + message_;
    case Kind::toolExecutionError:
        return tool_ + QStringLiteral(" failed: ") + message_;
    case Kind::tempFileError:
        return QStringLiteral("Temporary file error: ") + message_;
    case Kind::noOptimizationPossible:
        return QStringLiteral("No optimization was possible for this file");
    case Kind::platform:
        return message_;
    }
    return message_;
}
