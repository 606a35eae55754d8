#pragma once

#include <QUrl>

// Owns a temporary file: deletes it when the last reference goes away.
// Failures to delete are ignored.
class TempFile {
public:
    explicit TempFile(QUrl url) : url(std::move(url)) {}
    ~TempFile();
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;

    const QUrl url;
};
