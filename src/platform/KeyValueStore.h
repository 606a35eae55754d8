// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QVariant>

#include <memory>

class QSettings;

// The user-defaults store: a persistent key-value store. The program uses the
// platform's settings location; tests point it at a file of their own before
// first use, since the location is fixed once the store exists.
class KeyValueStore {
public:
    explicit KeyValueStore(const QString& filePath = {});
    ~KeyValueStore();
    KeyValueStore(const KeyValueStore&) = delete;
    KeyValueStore& operator=(const KeyValueStore&) = delete;

    static KeyValueStore& standard();
    // Replaces the process-wide store by one kept in `filePath` (tests, tools).
    static void useFile(const QString& filePath);

    bool contains(const QString& key) const;
    QString string(const QString& key, const QString& fallback = {}) const;
    bool boolean(const QString& key, bool fallback) const;
    qint64 int64(const QString& key, qint64 fallback) const;
    double real(const QString& key, double fallback) const;
    QByteArray bytes(const QString& key) const;

    void setValue(const QString& key, const QVariant& value);
    // Shadows the stored value for this process only; nothing is written.
    void overrideForThisRun(const QString& key, const QVariant& value);
    void remove(const QString& key);
    void sync();
    QString fileName() const;

private:
    QVariant read(const QString& key) const;
    std::unique_ptr<QSettings> settings_;
    QVariantMap overrides_;
};
