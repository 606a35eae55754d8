#pragma once

#include "jobs/OriginalRestorer.h"

#include <QCoroTask>
#include <QObject>
#include <QString>
#include <QUrl>

class JobListModel;

// What the enlarged card offers beyond looking: the original back from the
// Trash, the file in its folder, and byte counts as the window writes them.
class ResultActions : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString message READ message NOTIFY messageChanged)
    Q_PROPERTY(bool busy READ busy NOTIFY busyChanged)

public:
    explicit ResultActions(JobListModel& jobs, QObject* parent = nullptr);

    QString message() const { return message_; }
    bool busy() const { return busy_; }

    Q_INVOKABLE void restoreOriginal(int row);
    // Resolves once the restore has ended, however it ended.
    QCoro::Task<OriginalRestorer::Outcome> restore(int row);
    Q_INVOKABLE void showInFolder(const QUrl& file);
    Q_INVOKABLE void clearMessage();
    Q_INVOKABLE static QString byteText(qint64 bytes);

signals:
    void messageChanged();
    void busyChanged();

private:
    void setMessage(const QString& message);
    void setBusy(bool busy);
    static void openFolderOf(const QUrl& file);

    JobListModel& jobs_;
    OriginalRestorer restorer_;
    QString message_;
    bool busy_ = false;
};
