// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/DialogPrompts.h"
#include "app/MainView.h"
#include "app/ToolNotices.h"
#include "app/Updater.h"
#include "app/WindowSetup.h"
#include "app/tour/DropBenchmark.h"
#include "jobs/ExportFolderBookmark.h"

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QJsonDocument>
#include <QQmlApplicationEngine>
#include <QQmlExtensionPlugin>
#include <QQuickWindow>
#include <QStandardPaths>
#include <QTimer>

#include <cstdio>

Q_IMPORT_QML_PLUGIN(PresslyProPlugin)

namespace {
// Times every event the loop delivers, so a stall can be traced to what it was spent on.
class TimedApplication : public QApplication {
public:
    TimedApplication(int& argc, char** argv)
        : QApplication(argc, argv), threshold_(qEnvironmentVariableIntValue("PRESSLY_SLOW_EVENT_MS"))
    {
        if (threshold_ <= 0)
            threshold_ = 40;
    }
    bool notify(QObject* receiver, QEvent* event) override
    {
        QElapsedTimer clock;
        clock.start();
        const int type = event->type();
        // The receiver may be gone once the event is handled.
        const char* receiverClass = receiver->metaObject()->className();
        const bool handled = QApplication::notify(receiver, event);
        if (const qint64 ms = clock.elapsed(); ms >= threshold_)
            std::fprintf(stderr, "slow event: %lld ms, type %d, to %s, ended at %lld ms\n", static_cast<long long>(ms),
                         type, receiverClass, QDateTime::currentMSecsSinceEpoch() % 1'000'000);
        return handled;
    }

private:
    int threshold_;
};
} // namespace

// pressly-pro-bench FOLDER EXPORT_DIR [STOP_AFTER]: drops FOLDER on the window,
// exporting into EXPORT_DIR, and prints the figures as JSON; with STOP_AFTER,
// the batch is cancelled once that many jobs are done.
int main(int argc, char** argv)
{
    TimedApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Pressly Pro"));
    if (argc < 3 || argc > 4) {
        std::fputs("usage: pressly-pro-bench FOLDER EXPORT_DIR [STOP_AFTER]\n", stderr);
        return 2;
    }
    QDir().mkpath(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation));
    DialogPrompts prompts;
    ToolNotices notices;
    MainView view(prompts);
    view.setOperationMode(1);
    applyChosenExportFolder(QString::fromLocal8Bit(argv[2]), *view.configuration(), true);
    Updater updater{QUrl(), QString()};
    QQmlApplicationEngine engine;
    if (!WindowSetup::load(engine, view, updater, notices))
        return 1;
    auto* window = qobject_cast<QQuickWindow*>(engine.rootObjects().constFirst());
    // PRESSLY_BENCH_SIZE=2560x1440 sizes the window; PRESSLY_BENCH_GRID=1 runs the batch under the grid.
    if (const QList<QByteArray> size = qgetenv("PRESSLY_BENCH_SIZE").split('x'); size.size() == 2)
        window->resize(size[0].toInt(), size[1].toInt());
    const int stopAfter = argc == 4 ? QByteArray(argv[3]).toInt() : 0;
    DropBenchmark benchmark(view, *window, QUrl::fromLocalFile(QString::fromLocal8Bit(argv[1])), stopAfter,
                            qEnvironmentVariableIntValue("PRESSLY_BENCH_GRID") == 1);
    auto measure = [&]() -> QCoro::Task<> {
        const QJsonObject figures = co_await benchmark.run();
        std::fprintf(stderr, "%s\n", QJsonDocument(figures).toJson(QJsonDocument::Indented).constData());
        QApplication::quit();
    };
    QTimer::singleShot(0, [&] { measure(); });
    return app.exec();
}
