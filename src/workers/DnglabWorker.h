// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "workers/BaseCommandWorker.h"

// Rewrites a DNG camera-raw file with lossless compression, optionally
// without its embedded previews. Its lines go through the stamped log.
class DnglabWorker : public BaseCommandWorker {
public:
    explicit DnglabWorker(bool stripMetadata);

    const bool stripMetadata;

    // Our re-packer keeps the program name it stands in for; users read what it does.
    QString resultName() const override { return QStringLiteral("DNG re-pack"); }
    QCoro::Task<Outcome<bool>> optimizeFile(IOFile::Ptr input, QUrl output) override;
    QCoro::Task<Failure> run() override;
    // Eight arguments, twelve when stripping.
    QStringList arguments(const IOFile& input, const QUrl& output) const;
};
