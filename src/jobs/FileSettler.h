// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDateTime>
#include <QElapsedTimer>
#include <QHash>
#include <QObject>
#include <QSet>
#include <QStringList>
#include <QTimer>

#include <chrono>
#include <utility>

// Decides when a file seen in a watched folder may be optimized: once it has
// kept its size and time for the settle time, is an image by its content, is
// neither hidden nor a download in progress, is not being optimized now and is
// not in the form this run last left it in (optimized, placed or failed), and
// no process holds it open for writing. Every look at the disk runs on a pool
// thread, one at a time, and its findings are weighed on the event loop.
class FileSettler : public QObject {
    Q_OBJECT
public:
    explicit FileSettler(std::chrono::milliseconds settle, QObject* parent = nullptr);

    // Written or renamed in: its clock starts (again).
    void noticed(const QString& path);
    // Written to while open: its clock starts again if it is waited for.
    void modified(const QString& path);
    // Its present form needs nothing more from us, unless it changes. One
    // handed on by `ready` is not handed on again before this.
    void finished(const QString& path);
    int waiting() const { return int(waiting_.size()); }

    // Names that are never touched: hidden ones and downloads in progress,
    // whose rename to the final name is what counts.
    static bool isIgnoredName(const QString& fileName);

signals:
    // Those that settled on one look, in the order they were noticed.
    void ready(const QStringList& paths);

private:
    struct Form {
        qint64 size = -1;
        qint64 modified = 0;
        bool operator==(const Form&) const = default;
    };
    struct Waiting {
        Form form;
        bool looked = false;
        qint64 since = 0;
        quint64 order = 0;
    };
    // What one look at the disk found. Only files due by what was known when
    // it began are checked for a writer and for being an image.
    struct Look {
        qint64 at = 0;
        QHash<QString, std::pair<quint64, Form>> seen;
        QHash<QString, Form> finished;
        QSet<QString> held;
        QSet<QString> checked;
        QSet<QString> images;
    };
    static Form formOf(const QString& path);
    static bool isImage(const QString& path);
    static Look lookAt(const QHash<QString, Waiting>& waiting, const QStringList& finished, const QSet<QString>& busy,
                       qint64 at, qint64 settleMs);
    void check();
    void startLook(bool atWaiting);
    void weigh(const Look& look);

    const qint64 settleMs_;
    QElapsedTimer clock_;
    QTimer tick_;
    QHash<QString, Waiting> waiting_;
    quint64 nextOrder_ = 0;
    QSet<QString> busy_;
    QHash<QString, Form> done_;
    QStringList finishing_;
    bool looking_ = false;
    bool tickMissed_ = false;
};
