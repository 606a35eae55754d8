#pragma once

#include "workers/BaseCommandWorker.h"

// Cleans an SVG with svgcleaner, through the batch's shared server when one runs.
class SvgcleanerWorker : public BaseCommandWorker {
public:
    SvgcleanerWorker();

    QCoro::Task<Outcome<bool>> optimizeFile(IOFile::Ptr input, QUrl output) override;
    // Input, output, "--multipass".
    QStringList arguments(const IOFile& input, const QUrl& output) const;
};
