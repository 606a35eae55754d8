#pragma once

#include <QObject>
#include <QString>

// The working copy of the settings that the engine reads. Seeded from the
// preferences once; afterwards the user interface writes it beside them.
class Configuration : public QObject {
    Q_OBJECT

public:
    enum class OperationMode { optimizeOriginals, exportToFolder };
    Q_ENUM(OperationMode)

private:
    Q_PROPERTY(OperationMode operationMode READ operationMode WRITE setOperationMode NOTIFY operationModeChanged)
    Q_PROPERTY(QString exportPath READ exportPath WRITE setExportPath NOTIFY exportPathChanged)
    // Nothing reads or changes these; they keep their initial values.
    Q_PROPERTY(bool warnBeforeReplacing READ warnBeforeReplacing CONSTANT)
    Q_PROPERTY(QString resizeImages READ resizeImages CONSTANT)
    Q_PROPERTY(QString resizeVideos READ resizeVideos CONSTANT)
    Q_PROPERTY(bool optimizeVideoFiles READ optimizeVideoFiles CONSTANT)
    Q_PROPERTY(bool optimizeHEICFiles READ optimizeHEICFiles CONSTANT)

public:
    explicit Configuration(QObject* parent = nullptr);

    static QString toString(OperationMode mode);
    // Only the exact text "optimizeOriginals" replaces originals.
    static OperationMode operationModeFromString(const QString& text);

    OperationMode operationMode() const { return operationMode_; }
    QString exportPath() const { return exportPath_; }
    bool warnBeforeReplacing() const { return true; }
    QString resizeImages() const { return QStringLiteral("Original Size"); }
    QString resizeVideos() const { return QStringLiteral("Original Size"); }
    bool optimizeVideoFiles() const { return true; }
    bool optimizeHEICFiles() const { return true; }

    void setOperationMode(OperationMode mode);
    void setExportPath(const QString& path);

signals:
    void operationModeChanged();
    void exportPathChanged();

private:
    OperationMode operationMode_;
    QString exportPath_;
};
