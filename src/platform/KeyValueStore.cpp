#include "platform/KeyValueStore.h"

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

bool KeyValueStore::contains(const QString& key) const { return settings_->contains(key); }

QString KeyValueStore::string(const QString& key, const QString& fallback) const
{
    return settings_->contains(key) ? settings_->value(key).toString() : fallback;
}

// QSettings hands numbers and booleans back as text: always convert explicitly.
bool KeyValueStore::boolean(const QString& key, bool fallback) const
{
    return settings_->contains(key) ? settings_->value(key).toBool() : fallback;
}

qint64 KeyValueStore::int64(const QString& key, qint64 fallback) const
{
    if (!settings_->contains(key))
        return fallback;
    bool ok = false;
    const qint64 value = settings_->value(key).toLongLong(&ok);
    return ok ? value : fallback;
}

double KeyValueStore::real(const QString& key, double fallback) const
{
    if (!settings_->contains(key))
        return fallback;
    bool ok = false;
    const double value = settings_->value(key).toDouble(&ok);
    return ok ? value : fallback;
}

QByteArray KeyValueStore::bytes(const QString& key) const { return settings_->value(key).toByteArray(); }

void KeyValueStore::setValue(const QString& key, const QVariant& value) { settings_->setValue(key, value); }

void KeyValueStore::remove(const QString& key) { settings_->remove(key); }

void KeyValueStore::sync() { settings_->sync(); }
