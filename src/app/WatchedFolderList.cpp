// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/WatchedFolderList.h"

#include "app/DesktopNotifier.h"
#include "jobs/FolderWatchFeed.h"
#include "jobs/JobQueue.h"
#include "jobs/UserPreferences.h"
#include "platform/ByteCountFormatter.h"
#include "platform/FolderWatchLock.h"

#include <QDir>
#include <QFileInfo>

struct WatchedFolderList::Row {
    WatchedFolder folder;
    std::unique_ptr<FolderWatchLock> lock;
    std::unique_ptr<FolderWatchFeed> feed;
    bool heldElsewhere = false;
    bool missing = false;
};

WatchedFolderList::WatchedFolderList(JobQueue& queue, std::chrono::milliseconds settle, QObject* parent)
    : QAbstractListModel(parent), queue_(queue), settle_(settle), paused_(UserPreferences::shared().watchingPaused())
{
    // The other holder may stop at any time: the folder is then taken over.
    retry_.setInterval(3000);
    connect(&retry_, &QTimer::timeout, this, &WatchedFolderList::retryHeld);
    connect(&UserPreferences::shared(), &UserPreferences::exportPathChanged, this, [this] {
        for (int row = 0; row < count(); ++row)
            restart(row);
    });
    for (const WatchedFolder& folder : UserPreferences::shared().watchedFolders()) {
        rows_.push_back(std::make_unique<Row>(Row{folder, {}, {}}));
        start(*rows_.back());
    }
}

WatchedFolderList::~WatchedFolderList() = default;

int WatchedFolderList::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : count();
}

QHash<int, QByteArray> WatchedFolderList::roleNames() const
{
    return {{PathRole, "path"},
            {NameRole, "name"},
            {ExportingRole, "exporting"},
            {PresetRole, "preset"},
            {HeldElsewhereRole, "heldElsewhere"},
            {StateTextRole, "stateText"}};
}

QVariant WatchedFolderList::data(const QModelIndex& index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid))
        return {};
    const Row& row = *rows_[size_t(index.row())];
    switch (role) {
    case PathRole:
        return row.folder.path;
    case NameRole:
        return QFileInfo(row.folder.path).fileName();
    case ExportingRole:
        return row.folder.exporting;
    case PresetRole:
        return row.folder.preset;
    case HeldElsewhereRole:
        return row.heldElsewhere;
    case StateTextRole:
        if (paused_)
            return tr("Paused");
        if (row.heldElsewhere)
            return tr("Watched by the background service");
        return row.missing ? tr("Not found; watching begins when it is there") : tr("Watching");
    default:
        return {};
    }
}

bool WatchedFolderList::isExporting(int row) const
{
    return row >= 0 && row < count() && rows_[size_t(row)]->folder.exporting;
}

bool WatchedFolderList::add(const QString& path)
{
    const QString clean = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    for (const auto& row : rows_)
        if (row->folder.path == clean)
            return false;
    WatchedFolder folder{clean};
    folder.preset = UserPreferences::shared().compressionPresetRaw();
    beginInsertRows({}, count(), count());
    rows_.push_back(std::make_unique<Row>(Row{folder, {}, {}}));
    start(*rows_.back());
    endInsertRows();
    store();
    emit countChanged();
    return true;
}

void WatchedFolderList::remove(int row)
{
    if (row < 0 || row >= count())
        return;
    beginRemoveRows({}, row, row);
    stop(*rows_[size_t(row)]);
    rows_.erase(rows_.begin() + row);
    endRemoveRows();
    store();
    emit countChanged();
}

void WatchedFolderList::setExporting(int row, bool exporting)
{
    if (row < 0 || row >= count() || rows_[size_t(row)]->folder.exporting == exporting)
        return;
    rows_[size_t(row)]->folder.exporting = exporting;
    restart(row);
}

void WatchedFolderList::setPreset(int row, const QString& raw)
{
    const QString preset = toString(compressionPresetFromString(raw));
    if (row < 0 || row >= count() || rows_[size_t(row)]->folder.preset == preset)
        return;
    rows_[size_t(row)]->folder.preset = preset;
    restart(row);
}

void WatchedFolderList::setPaused(bool paused)
{
    if (paused == paused_)
        return;
    paused_ = paused;
    UserPreferences::shared().setWatchingPaused(paused);
    for (const auto& row : rows_)
        paused ? stop(*row) : start(*row);
    if (count() > 0)
        emit dataChanged(index(0), index(count() - 1));
    emit pausedChanged();
}

int WatchedFolderList::indexOf(const Row* row) const
{
    const auto found = std::find_if(rows_.begin(), rows_.end(), [&](const auto& each) { return each.get() == row; });
    return found == rows_.end() ? -1 : int(found - rows_.begin());
}

// Settings apply to files that settle from now on; jobs under way keep theirs.
void WatchedFolderList::restart(int row)
{
    const Row& changedRow = *rows_[size_t(row)];
    if (changedRow.feed)
        changedRow.feed->setSettings(changedRow.folder.batchSettings());
    changed(row);
    store();
}

void WatchedFolderList::start(Row& row)
{
    if (paused_ || row.feed)
        return;
    row.lock = FolderWatchLock::take(row.folder.path);
    row.heldElsewhere = !row.lock;
    if (row.heldElsewhere) {
        retry_.start();
        return;
    }
    row.feed = std::make_unique<FolderWatchFeed>(queue_, settle_, row.folder.batchSettings());
    const QString folder = row.folder.path;
    connect(row.feed.get(), &FolderWatchFeed::burstFinished, this,
            [this, folder](int images, qint64 saved) { announce(folder, images, saved); });
    const auto present = [this, raw = &row](bool there) {
        raw->missing = !there;
        changed(indexOf(raw));
    };
    connect(&row.feed->watcher(), &FolderWatcher::rootLost, this, [present] { present(false); });
    connect(&row.feed->watcher(), &FolderWatcher::rootReturned, this, [present] { present(true); });
    row.missing = !row.feed->addRoot(row.folder.path);
}

void WatchedFolderList::stop(Row& row)
{
    if (row.feed)
        row.feed->stop();
    row.feed.reset();
    row.lock.reset();
    row.heldElsewhere = false;
}

void WatchedFolderList::retryHeld()
{
    bool stillHeld = false;
    for (int index = 0; index < count(); ++index) {
        Row& row = *rows_[size_t(index)];
        if (!row.heldElsewhere)
            continue;
        row.heldElsewhere = false;
        start(row);
        stillHeld = stillHeld || row.heldElsewhere;
        changed(index);
    }
    if (!stillHeld)
        retry_.stop();
}

void WatchedFolderList::changed(int row)
{
    if (row >= 0 && row < count())
        emit dataChanged(index(row), index(row));
}

void WatchedFolderList::store() const
{
    QList<WatchedFolder> folders;
    for (const auto& row : rows_)
        folders.append(row->folder);
    UserPreferences::shared().setWatchedFolders(folders);
}

void WatchedFolderList::announce(const QString& folder, int images, qint64 saved)
{
    emit burstFinished(folder, images, saved);
    if (saved <= 0 || !DesktopNotifier::windowOutOfView())
        return;
    DesktopNotifier::notify(tr("Pressly Pro saved %1 in %2 (%n images)", nullptr, images)
                                .arg(ByteCountFormatter::format(saved), QFileInfo(folder).fileName()));
}
