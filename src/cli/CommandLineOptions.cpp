// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/CommandLineOptions.h"

#include <QCommandLineParser>
#include <QCoreApplication>

namespace {

const QStringList presets{QStringLiteral("lossless"), QStringLiteral("balanced"), QStringLiteral("maximum")};

struct Flags {
    QCommandLineOption preset{QStringLiteral("preset"), {}, QStringLiteral("preset")};
    QCommandLineOption inPlace{QStringLiteral("in-place")};
    QCommandLineOption exportDir{QStringLiteral("export"), {}, QStringLiteral("dir")};
    QCommandLineOption jobs{QStringLiteral("jobs"), {}, QStringLiteral("n")};
    QCommandLineOption noCache{QStringLiteral("no-cache")};
    QCommandLineOption json{QStringLiteral("json")};
    QCommandLineOption quiet{{QStringLiteral("quiet"), QStringLiteral("q")}};
    QCommandLineOption verbose{{QStringLiteral("verbose"), QStringLiteral("v")}};
    QCommandLineOption help{{QStringLiteral("help"), QStringLiteral("h")}};
    QCommandLineOption version{QStringLiteral("version")};
    QCommandLineOption statistics{QStringLiteral("statistics")};
    QCommandLineOption watch{QStringLiteral("watch")};
    QCommandLineOption settle{QStringLiteral("settle"), {}, QStringLiteral("seconds")};

    void addTo(QCommandLineParser& parser) const
    {
        parser.addOptions({preset, inPlace, exportDir, jobs, noCache, json, quiet, verbose, help, version, statistics,
                           watch, settle});
    }
};

// The checks the parser cannot make; an empty answer means all is well.
QString checkValues(const QCommandLineParser& parser, const Flags& flags)
{
    if (parser.isSet(flags.preset) && !presets.contains(parser.value(flags.preset)))
        return QCoreApplication::translate("CommandLineOptions",
                                           "unknown preset “%1”: choose lossless, balanced or maximum")
            .arg(parser.value(flags.preset));
    if (parser.isSet(flags.inPlace) && parser.isSet(flags.exportDir))
        return QCoreApplication::translate("CommandLineOptions", "--in-place and --export cannot be used together");
    if (parser.isSet(flags.exportDir) && parser.value(flags.exportDir).isEmpty())
        return QCoreApplication::translate("CommandLineOptions", "--export needs a folder");
    // "--export --in-place DIR" would export into a folder named "--in-place".
    if (parser.isSet(flags.exportDir) && parser.value(flags.exportDir).startsWith(QLatin1Char('-')))
        return QCoreApplication::translate("CommandLineOptions",
                                           "--export needs a folder, not “%1”; a folder of that name is written ./%1")
            .arg(parser.value(flags.exportDir));
    if (parser.isSet(flags.jobs)) {
        bool ok = false;
        const int jobs = parser.value(flags.jobs).toInt(&ok);
        if (!ok || jobs < 1 || jobs > 256)
            return QCoreApplication::translate("CommandLineOptions", "--jobs takes a whole number from 1 to 256");
    }
    if (parser.isSet(flags.quiet) && parser.isSet(flags.verbose))
        return QCoreApplication::translate("CommandLineOptions", "--quiet and --verbose cannot be used together");
    if (parser.isSet(flags.statistics) && !parser.positionalArguments().isEmpty())
        return QCoreApplication::translate("CommandLineOptions", "--statistics takes no files or folders");
    if (parser.isSet(flags.settle) && !parser.isSet(flags.watch))
        return QCoreApplication::translate("CommandLineOptions", "--settle goes with --watch");
    if (parser.isSet(flags.settle)) {
        bool ok = false;
        const double seconds = parser.value(flags.settle).toDouble(&ok);
        if (!ok || seconds < 0.1 || seconds > 3600)
            return QCoreApplication::translate("CommandLineOptions",
                                               "--settle takes a number of seconds from 0.1 to 3600");
    }
    if (parser.isSet(flags.watch) && parser.isSet(flags.statistics))
        return QCoreApplication::translate("CommandLineOptions", "--watch and --statistics cannot be used together");
    // Without folders, --watch takes the settings' ones, each with its own mode and preset.
    const bool storedWatch = parser.isSet(flags.watch) && parser.positionalArguments().isEmpty();
    if (storedWatch && (parser.isSet(flags.inPlace) || parser.isSet(flags.exportDir) || parser.isSet(flags.preset)))
        return QCoreApplication::translate("CommandLineOptions",
                                           "--in-place, --export and --preset go with the folders given to --watch; "
                                           "the watched folders of the settings keep their own");
    if (!parser.isSet(flags.help) && !parser.isSet(flags.version) && !parser.isSet(flags.statistics) && !storedWatch
        && parser.positionalArguments().isEmpty())
        return QCoreApplication::translate("CommandLineOptions", "no files or folders given");
    return {};
}

} // namespace

std::optional<CommandLineOptions> CommandLineOptions::parse(const QStringList& arguments, QString* error)
{
    const Flags flags;
    QCommandLineParser parser;
    flags.addTo(parser);
    if (!parser.parse(arguments)) {
        *error = parser.errorText();
        return std::nullopt;
    }
    if (*error = checkValues(parser, flags); !error->isEmpty())
        return std::nullopt;

    CommandLineOptions options;
    if (parser.isSet(flags.preset))
        options.preset = parser.value(flags.preset);
    if (parser.isSet(flags.inPlace))
        options.mode = Mode::inPlace;
    if (parser.isSet(flags.exportDir)) {
        options.mode = Mode::exportTo;
        options.exportDir = parser.value(flags.exportDir);
    }
    if (parser.isSet(flags.jobs))
        options.jobs = parser.value(flags.jobs).toInt();
    options.noCache = parser.isSet(flags.noCache);
    options.json = parser.isSet(flags.json);
    options.quiet = parser.isSet(flags.quiet);
    options.verbose = parser.isSet(flags.verbose);
    options.help = parser.isSet(flags.help);
    options.version = parser.isSet(flags.version);
    options.statistics = parser.isSet(flags.statistics);
    options.watch = parser.isSet(flags.watch);
    if (parser.isSet(flags.settle))
        options.settle = std::chrono::milliseconds(qRound64(parser.value(flags.settle).toDouble() * 1000));
    options.paths = parser.positionalArguments();
    return options;
}

QString CommandLineOptions::helpText()
{
    return QCoreApplication::translate(
        "CommandLineOptions",
        "Usage: pressly [OPTIONS] PATH...\n"
        "       pressly --watch [DIR... [--in-place | --export DIR] [--preset P]] [--settle SECONDS]\n"
        "       pressly --statistics [--json]\n"
        "\n"
        "Makes PNG, JPEG, GIF, SVG, WebP, HEIC and DNG images smaller without changing how they look\n"
        "(lossy presets change pixels only by their quantisation). PATHs are files or folders; folders\n"
        "are searched at any depth, skipping hidden files and folders (names starting with \".\").\n"
        "\n"
        "Options (each applies to this run only; nothing is stored):\n"
        "  --preset lossless|balanced|maximum\n"
        "                   how hard to compress (default: the stored preset, at first \"balanced\")\n"
        "  --in-place       replace each original with its smaller version; the original goes to\n"
        "                   the Trash, where it can be restored\n"
        "  --export DIR     write smaller copies into DIR (created if needed); originals stay as they\n"
        "                   are, and files that could not be made smaller are copied unchanged\n"
        "                   (default mode: the stored one, at first export to the stored folder)\n"
        "  --jobs N         run at most N files at once (default: the number of cores)\n"
        "  --no-cache       optimize even files the results cache knows, and record nothing in it\n"
        "  --json           print one JSON object per file and one summary object on standard\n"
        "                   output, and nothing else there (log lines go to standard error)\n"
        "  --quiet, -q      print only the summary\n"
        "  --verbose, -v    also print what each tool does (see QT_LOGGING_RULES below)\n"
        "  --statistics     show the all-time figures and every batch, of the window's runs and\n"
        "                   of this command's alike (with --json as one JSON object)\n"
        "  --watch          keep watching the folders given, at any depth, and optimize each image\n"
        "                   written or moved into them once it has settled, until SIGINT or SIGTERM;\n"
        "                   files there before are left alone, hidden files and downloads in progress\n"
        "                   (.part, .crdownload, .download, .tmp, ~) are never touched, and a file\n"
        "                   optimized or failed once is taken again only when it changes; without\n"
        "                   DIR, the watched folders of the settings, each with its own mode and\n"
        "                   preset (exporting to the settings' export folder), following changes to\n"
        "                   them; a folder the window watches is taken once the window lets go\n"
        "  --settle SECONDS with --watch, how long a file must keep its size and time before it is\n"
        "                   taken (default: 2)\n"
        "  --version        show the version\n"
        "  --help, -h       show this text\n"
        "\n"
        "Without --json and --quiet, one line per file tells its sizes before and after and the tools\n"
        "that won, or why it failed; then the summary. Colour is used on a terminal unless NO_COLOR is\n"
        "set. QT_LOGGING_RULES picks log lines by category: pressly.tools (each tool run),\n"
        "pressly.results (an \"Optimized\" line per file), pressly.jobs, pressly.scheduler,\n"
        "pressly.store and pressly.vips; warnings are on, the rest off. E.g.\n"
        "QT_LOGGING_RULES=\"pressly.tools=true\".\n"
        "\n"
        "Exit status: 0 when no file failed, 1 when any file failed or a path given is missing or\n"
        "not a supported image, 2 for a usage error (and for --watch without DIR when the settings\n"
        "list no watched folders; 0 at once when watching is paused there); 130, 143 or 129 when\n"
        "SIGINT, SIGTERM or SIGHUP stopped the run (the tools are stopped and every working file\n"
        "removed; press Ctrl+C again to end the tools at once).\n"
        "Statistics of every run are kept with those of the window; the results cache and the\n"
        "statistics live under $XDG_DATA_HOME and $XDG_CONFIG_HOME.\n");
}
