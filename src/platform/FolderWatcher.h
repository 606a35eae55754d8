// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDateTime>
#include <QHash>
#include <QObject>
#include <QSet>
#include <QStringList>
#include <QTimer>

#include <memory>

class QSocketNotifier;

// Folders and everything below them, watched through inotify on the thread
// that made it (the descriptor is read when the event loop says it is ready,
// so nothing blocks). Hidden folders and links are not followed. A root that
// goes away is reported and looked for again every few seconds.
class FolderWatcher : public QObject {
    Q_OBJECT
public:
    explicit FolderWatcher(QObject* parent = nullptr);
    ~FolderWatcher() override;

    // False when inotify cannot be had (too many instances); `why` tells.
    bool isValid(QString* why = nullptr) const;
    // Files already there are not reported. Answers false when the folder is
    // not there now (it is then looked for again, as a lost one is).
    bool addRoot(const QString& folder);
    int watchedFolders() const { return int(folderOf_.size()); }

signals:
    // Closed after writing, renamed in, or found in a folder that appeared.
    void fileWritten(const QString& path);
    // Written to while open: whoever waits for it to settle starts again.
    void fileModified(const QString& path);
    // Made, perhaps still being written; a file linked in whole from an unnamed
    // temporary one (as Qt's QSaveFile and QFile::copy write) reports only this.
    void fileCreated(const QString& path);
    void rootLost(const QString& root);
    void rootReturned(const QString& root);
    // The kernel dropped events; files changed since watching began were
    // reported again as written.
    void overflowed();

private:
    void readEvents();
    void handle(int watch, quint32 mask, const QString& name);
    // A root may be missing or not a folder: that is not worth a warning.
    bool watchOne(const QString& folder, bool mayBeMissing = false);
    // How a tree is walked: whether its files are reported (those changed
    // since a time, when one is given) and whether folders already watched
    // are walked again.
    struct Walk {
        bool reportFiles = true;
        bool intoWatched = false;
        QDateTime changedSince;
    };
    // A watched folder is listed on a pool thread, so that a large tree does
    // not stall the event loop; the folders below are watched and walked alike.
    void walkLater(const QString& folder, const Walk& how);
    void forgetTree(const QString& folder);
    void lose(const QString& root);
    void lookForLostRoots();
    void rescan();

    int fd_ = -1;
    int error_ = 0;
    std::unique_ptr<QSocketNotifier> notifier_;
    QHash<int, QString> folderOf_;
    QHash<QString, int> watchOf_;
    QStringList roots_;
    QSet<QString> lost_;
    QTimer lookAgain_;
    QDateTime startedAt_;
};
