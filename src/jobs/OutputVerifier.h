// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "workers/IOFileType.h"
#include "workers/OptimizationWorker.h"

#include <QCoroTask>
#include <QString>

// The last look at a tool's output before it may take the place of a user's
// image: it must be the same kind of file, decode completely, show the same
// size and the same number of frames, keep a JPEG's trailing data, and look
// the same — pixel for pixel unless a tool that may change pixels made it; a
// camera-raw file must keep every raw sample and the levels that read them.
class OutputVerifier {
public:
    struct Verdict {
        bool accepted = false;
        QString reason; // why not, for the log
    };

    // Blocks while it decodes both files. `samePixels` asks for every
    // displayed pixel to be equal; otherwise quantisation may show.
    static Verdict verify(const QString& source, IOFileType kind, const QString& candidate, bool samePixels);
    // The same, on a pool thread, for event-loop callers.
    static QCoro::Task<Verdict> verifyOffThread(QString source, IOFileType kind, QString candidate, bool samePixels);

    // The names of the workers whose output may show other pixels than their
    // input, asked once they have run.
    static QStringList pixelChangingTools(const std::vector<OptimizationWorker::Ptr>& workers);
    // Whether a result made by `toolChain` ("pngquant+oxipng") must show the
    // source's pixels exactly: when none of its tools may change them.
    static bool needsSamePixels(const QString& toolChain, const QStringList& pixelChangingTools);

    // Seconds spent verifying in this process, over all threads.
    static double secondsSpent();

    // What quantisation may cost, 0 to 255 per sample, over the picture and
    // in its worst tile; a damaged region, a rotation, a shifted palette or a
    // lost colour profile costs more. About 1.5 times the most that the lossy
    // presets' tools showed on a corpus of 170 images (7.9 and 27.7).
    static constexpr double maxLossyMean = 12.0;
    static constexpr double maxLossyTile = 40.0;

private:
    static Verdict verifyRaster(const QString& source, IOFileType kind, const QString& candidate, bool samePixels);
    static Verdict comparePixels(const QString& source, const QString& candidate, bool samePixels);
    static Verdict verifySvg(const QString& source, const QString& candidate, bool samePixels);
    static Verdict verifyRaw(const QString& source, const QString& candidate);
};
