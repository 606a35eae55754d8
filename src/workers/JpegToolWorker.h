// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "workers/BaseCommandWorker.h"
#include "workers/ToolProbe.h"

// The JPEG tools' way to a result: a test run of the tool found, then its
// main run; a system copy when the tool fails; an image-I/O re-encode when
// nothing else is left. Whatever follows the source's image data is appended
// to the result unchanged.
class JpegToolWorker : public BaseCommandWorker {
public:
    QCoro::Task<Outcome<bool>> optimizeFile(IOFile::Ptr input, QUrl output) override;
    QString resultName() const override;
    // The name a re-encode is credited to: what made it.
    static QString reencoderName() { return QStringLiteral("libvips"); }
    // Runs the system copy at `tool`, then the re-encode if it fails.
    virtual QCoro::Task<Outcome<bool>> runSystemTool(QString tool, IOFile::Ptr input, QUrl output);

protected:
    using BaseCommandWorker::BaseCommandWorker;

    // How one main run ended when it did not fail outright.
    struct MainRun {
        bool succeeded = false;
        int exitCode = 0;
        QString error; // the tool's standard error
    };

    virtual QStringList testArguments() const = 0;
    virtual QCoro::Task<Outcome<MainRun>> mainRun(QString tool, IOFile::Ptr input, QUrl output) = 0;
    virtual QCoro::Task<Outcome<bool>> imageIOFallback(IOFile::Ptr input, QUrl output) = 0;

    // Set by a fallback that re-encoded the pixels.
    bool reencoded_ = false;

private:
    // The test run itself; its answer is shared by every job of the process.
    QCoro::Task<ToolProbe::Answer> probe(QString tool);
    QCoro::Task<Outcome<bool>> optimizeImage(IOFile::Ptr input, QUrl output);
    QCoro::Task<Outcome<bool>> systemToolOrFallback(IOFile::Ptr input, QUrl output);
    QCoro::Task<Outcome<bool>> afterCannotExecute(QString description, IOFile::Ptr input, QUrl output);
    // `failed` is the binary that just failed: it is not run again.
    QCoro::Task<Outcome<bool>> finalFallback(QString failed, IOFile::Ptr input, QUrl output);
};
