#pragma once

#include <QString>

// One tool's accepted result.
struct ToolStats {
    QString name;
    qint64 fileSize = 0;
    double ratio = 1.0; // original size / fileSize; 1.0 for an empty original
};
