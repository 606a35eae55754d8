#include "platform/Trash.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace Trash {

Outcome moveToTrash(const QString& path)
{
    // Without the data folder Qt "trashes" into ./files of the working
    // directory and still reports success.
    QDir().mkpath(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation));

    Outcome outcome;
    if (!QFileInfo::exists(path)) {
        outcome.error = QStringLiteral("The file “%1” doesn’t exist.").arg(QFileInfo(path).fileName());
        return outcome;
    }
    QFile file(path);
    if (!file.moveToTrash() || QFileInfo::exists(path)) {
        outcome.error = QStringLiteral("The file “%1” couldn’t be moved to the Trash: %2")
                            .arg(QFileInfo(path).fileName(), file.errorString());
        return outcome;
    }
    outcome.ok = true;
    outcome.pathInTrash = file.fileName();
    return outcome;
}

} // namespace Trash
