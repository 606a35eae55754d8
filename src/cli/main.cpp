// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/CommandLineOptions.h"
#include "cli/CommandLineRun.h"
#include "cli/StatisticsReport.h"
#include "platform/Translations.h"
#include "store/StatisticsTracker.h"

#include <QCoreApplication>
#include <QTimer>

#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("pressly"));
    Translations::install(app);

    QString error;
    const auto options = CommandLineOptions::parse(QCoreApplication::arguments(), &error);
    if (!options) {
        std::fprintf(stderr, "pressly: %s\n%s\n", qPrintable(error),
                     qPrintable(QCoreApplication::translate("main", "Try 'pressly --help' for more information.")));
        return 2;
    }
    if (options->version) {
        std::fputs("pressly " PRESSLY_VERSION "\n", stdout);
        return 0;
    }
    if (options->help) {
        std::fputs(qPrintable(CommandLineOptions::helpText()), stdout);
        return 0;
    }
    if (options->statistics) {
        std::fputs(StatisticsReport(StatisticsTracker::shared()).text(options->json).toUtf8().constData(), stdout);
        return 0;
    }

    CommandLineRun run(*options);
    int status = 0;
    auto task = [&]() -> QCoro::Task<> {
        status = co_await run.run();
        QCoreApplication::exit(status);
    };
    QTimer::singleShot(0, &app, [&] { task(); });
    app.exec();
    return status;
}
