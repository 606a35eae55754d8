#pragma once

#include <QObject>

// Tools looked for in vain, as they are looked for (once per lookup, on
// whichever thread looked): front ends tell the user once.
class MissingTools : public QObject {
    Q_OBJECT
public:
    static MissingTools& shared();

signals:
    void missing(const QString& tool);

private:
    MissingTools() = default;
};
