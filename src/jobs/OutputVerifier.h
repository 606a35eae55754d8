#pragma once

#include "workers/IOFileType.h"

#include <QCoroTask>
#include <QString>

// The last look at a tool's output before it may take the place of a user's
// image: it must be the same kind of file, decode completely, show the same
// size and the same number of frames, and look the same — pixel for pixel
// when the preset is lossless.
class OutputVerifier {
public:
    struct Verdict {
        bool accepted = false;
        QString reason; // why not, for the log
    };

    // Blocks while it decodes both files.
    static Verdict verify(const QString& source, IOFileType kind, const QString& candidate, bool lossless);
    // The same, on a pool thread, for event-loop callers.
    static QCoro::Task<Verdict> verifyOffThread(QString source, IOFileType kind, QString candidate, bool lossless);

    // Seconds spent verifying in this process, over all threads.
    static double secondsSpent();

    // The mean difference (0 to 255) of small renderings that a lossy result
    // may show; a rotation or a lost colour profile shows far more.
    static constexpr double maxLossyDifference = 16.0;

private:
    static Verdict verifyRaster(const QString& source, const QString& candidate, bool lossless);
    static Verdict verifySvg(const QString& source, const QString& candidate);
};
