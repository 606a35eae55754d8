#pragma once

#include <QObject>
#include <QStringList>

// Tools the engine looked for in vain, each told once in the window as well
// as on standard output.
class ToolNotices : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString text READ text NOTIFY textChanged)
public:
    explicit ToolNotices(QObject* parent = nullptr);
    ~ToolNotices() override;
    QString text() const;
    Q_INVOKABLE void dismiss();

signals:
    void textChanged();

private:
    void noteLine(const QString& line);
    QStringList missing_;
    QStringList told_;
    bool dismissed_ = false;
};
