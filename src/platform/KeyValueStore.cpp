// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/KeyValueStore.h"

#include "platform/PrivateStorage.h"

#include <QFileInfo>
#include <QMutex>
#include <QSettings>

namespace {
QMutex storeMutex;
std::unique_ptr<KeyValueStore>& storeSlot()
{
    static std::unique_ptr<KeyValueStore> store;
    return store;
}
} // namespace

KeyValueStore::KeyValueStore(const QString& filePath)
    : settings_(filePath.isEmpty()
                    ? std::make_unique<QSettings>(QStringLiteral("Pressly"), QStringLiteral("Pressly Pro"))
                    : std::make_unique<QSettings>(filePath, QSettings::IniFormat))
{
    // QSettings rewrites its file keeping the permissions it finds.
    if (filePath.isEmpty()) {
        PrivateStorage::makeFolder(QFileInfo(settings_->fileName()).absolutePath());
        PrivateStorage::makeFile(settings_->fileName());
    }
}

KeyValueStore::~KeyValueStore() = default;

KeyValueStore& KeyValueStore::standard()
{
    QMutexLocker lock(&storeMutex);
    auto& store = storeSlot();
    if (!store)
        store = std::make_unique<KeyValueStore>();
    return *store;
}

void KeyValueStore::useFile(const QString& filePath)
{
    QMutexLocker lock(&storeMutex);
    storeSlot() = std::make_unique<KeyValueStore>(filePath);
}

bool KeyValueStore::contains(const QString& key) const
{
    return overrides_.contains(key) || settings_->contains(key);
}

QVariant KeyValueStore::read(const QString& key) const
{
    const auto it = overrides_.constFind(key);
    return it != overrides_.constEnd() ? *it : settings_->value(key);
}

QString KeyValueStore::string(const QString& key, const QString& fallback) const
{
    return contains(key) ? read(key).toString() : fallback;
}

// QSettings hands numbers and booleans back as text: always convert explicitly.
bool KeyValueStore::boolean(const QString& key, bool fallback) const
{
    return contains(key) ? read(key).toBool() : fallback;
}

qint64 KeyValueStore::int64(const QString& key, qint64 fallback) const
{
    if (!contains(key))
        return fallback;
    bool ok = false;
    const qint64 value = read(key).toLongLong(&ok);
    return ok ? value : fallback;
}

double KeyValueStore::real(const QString& key, double fallback) const
{
    if (!contains(key))
        return fallback;
    bool ok = false;
    const double value = read(key).toDouble(&ok);
    return ok ? value : fallback;
}

QByteArray KeyValueStore::bytes(const QString& key) const
{
    return read(key).toByteArray();
}

void KeyValueStore::setValue(const QString& key, const QVariant& value)
{
    overrides_.remove(key);
    settings_->setValue(key, value);
}

void KeyValueStore::overrideForThisRun(const QString& key, const QVariant& value)
{
    overrides_.insert(key, value);
}

void KeyValueStore::remove(const QString& key)
{
    settings_->remove(key);
}

void KeyValueStore::sync()
{
    settings_->sync();
}

QString KeyValueStore::fileName() const
{
    return settings_->fileName();
}
