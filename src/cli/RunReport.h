// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "jobs/OptimizationJob.h"

#include <QJsonObject>
#include <QList>
#include <QString>

// The figures of one command-line run, as text or JSON.
class RunReport {
public:
    void add(const OptimizationJob& job);
    void setSeconds(double seconds) { seconds_ = seconds; }

    static QJsonObject jobJson(const OptimizationJob& job);
    QJsonObject summaryJson() const;
    QString summaryText() const;
    bool anyFailed() const { return failed_ > 0; }
    // Images in the folders walked that could not be taken at all.
    void setSkippedInFolders(int count) { skippedInFolders_ = count; }

private:
    double savedPercent() const;
    static double toolSeconds();

    int files_ = 0;
    int optimized_ = 0;
    int failed_ = 0;
    int cancelled_ = 0; // stopped, or never started: nothing of them was written
    int skipped_ = 0;
    int skippedInFolders_ = 0;
    qint64 bytesBefore_ = 0;
    qint64 bytesAfter_ = 0;
    double seconds_ = 0.0;
};
