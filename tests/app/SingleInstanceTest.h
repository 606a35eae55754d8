#pragma once

#include <QObject>

// One window per user, across real processes of the installed program.
class SingleInstanceTest : public QObject {
    Q_OBJECT
private slots:
    void staleSocketTakenOverAndFilesHandedOver();
    void launchesAtOnceEndWithOneWindow();
};
