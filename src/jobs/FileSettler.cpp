// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "jobs/FileSettler.h"

#include "platform/OpenForWriting.h"
#include "workers/IOFileType.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>

FileSettler::FileSettler(std::chrono::milliseconds settle, QObject* parent) : QObject(parent), settleMs_(settle.count())
{
    clock_.start();
    tick_.setInterval(int(std::clamp<qint64>(settleMs_ / 4, 50, 250)));
    connect(&tick_, &QTimer::timeout, this, &FileSettler::check);
}

bool FileSettler::isIgnoredName(const QString& fileName)
{
    static const QStringList partial{QStringLiteral(".part"), QStringLiteral(".crdownload"),
                                     QStringLiteral(".download"), QStringLiteral(".tmp"), QStringLiteral("~")};
    return fileName.startsWith(QLatin1Char('.'))
           || std::any_of(partial.begin(), partial.end(),
                          [&](const QString& suffix) { return fileName.endsWith(suffix, Qt::CaseInsensitive); });
}

void FileSettler::noticed(const QString& path)
{
    // A link's target may lie anywhere: only files in the folders themselves are ours.
    const QFileInfo info(path);
    if (isIgnoredName(info.fileName()) || info.isSymLink())
        return;
    waiting_.insert(path, {formOf(path), clock_.elapsed(), nextOrder_++});
    if (!tick_.isActive())
        tick_.start();
}

void FileSettler::modified(const QString& path)
{
    const auto found = waiting_.find(path);
    if (found != waiting_.end())
        found->since = clock_.elapsed();
}

void FileSettler::finished(const QString& path)
{
    busy_.remove(path);
    done_.insert(path, formOf(path));
}

FileSettler::Form FileSettler::formOf(const QString& path)
{
    const QFileInfo info(path);
    if (!info.isFile())
        return {};
    return {info.size(), info.lastModified().toMSecsSinceEpoch()};
}

bool FileSettler::isImage(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) && IOFileTypes::fromContent(file.read(IOFileTypes::contentProbeLength));
}

void FileSettler::check()
{
    const qint64 now = clock_.elapsed();
    QStringList due;
    for (auto it = waiting_.begin(); it != waiting_.end();) {
        const Form form = formOf(it.key());
        if (form.size < 0) {
            it = waiting_.erase(it);
            continue;
        }
        if (form != it->form) {
            it->form = form;
            it->since = now;
        } else if (now - it->since >= settleMs_ && !busy_.contains(it.key())) {
            // One being optimized waits for its job: if it changes meanwhile, it goes again.
            due.append(it.key());
        }
        ++it;
    }
    if (!due.isEmpty())
        hand(due, now);
    if (waiting_.isEmpty())
        tick_.stop();
}

// A writer that pauses longer than the settle time has not finished: what it
// holds open waits for it to close.
void FileSettler::hand(const QStringList& due, qint64 now)
{
    const QSet<QString> held = OpenForWriting::among(due);
    QList<std::pair<quint64, QString>> settled;
    for (const QString& path : due) {
        const auto found = waiting_.find(path);
        if (held.contains(path)) {
            found->since = now;
            continue;
        }
        const Waiting waited = *found;
        waiting_.erase(found);
        if (done_.value(path) == waited.form)
            continue;
        if (!isImage(path)) {
            done_.insert(path, waited.form);
            continue;
        }
        busy_.insert(path);
        settled.append({waited.order, path});
    }
    if (settled.isEmpty())
        return;
    std::sort(settled.begin(), settled.end());
    QStringList paths;
    for (const auto& [order, path] : std::as_const(settled))
        paths.append(path);
    emit ready(paths);
}
