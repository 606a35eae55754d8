#include "cli/CommandLineOptions.h"

namespace {

bool takeValue(const QStringList& args, qsizetype& i, const QString& flag, QString* value, QString* error)
{
    const QString& arg = args[i];
    if (arg.startsWith(flag + QLatin1Char('='))) {
        *value = arg.mid(flag.size() + 1);
        return true;
    }
    if (i + 1 >= args.size()) {
        *error = QStringLiteral("%1 needs a value").arg(flag);
        return false;
    }
    *value = args[++i];
    return true;
}

bool isFlag(const QString& arg, const QString& flag)
{
    return arg == flag || arg.startsWith(flag + QLatin1Char('='));
}

} // namespace

std::optional<CommandLineOptions> CommandLineOptions::parse(const QStringList& arguments, QString* error)
{
    CommandLineOptions options;
    bool onlyPaths = false;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& arg = arguments[i];
        QString value;
        if (onlyPaths || !arg.startsWith(QLatin1Char('-')) || arg == QLatin1String("-")) {
            options.paths << arg;
        } else if (arg == QLatin1String("--")) {
            onlyPaths = true;
        } else if (arg == QLatin1String("--help") || arg == QLatin1String("-h")) {
            options.help = true;
        } else if (isFlag(arg, QStringLiteral("--preset"))) {
            if (!takeValue(arguments, i, QStringLiteral("--preset"), &value, error))
                return std::nullopt;
            if (value != QLatin1String("lossless") && value != QLatin1String("balanced")
                && value != QLatin1String("maximum")) {
                *error = QStringLiteral("unknown preset “%1”: choose lossless, balanced or maximum").arg(value);
                return std::nullopt;
            }
            options.preset = value;
        } else if (arg == QLatin1String("--in-place")) {
            if (options.mode == Mode::exportTo) {
                *error = QStringLiteral("--in-place and --export cannot be used together");
                return std::nullopt;
            }
            options.mode = Mode::inPlace;
        } else if (isFlag(arg, QStringLiteral("--export"))) {
            if (options.mode == Mode::inPlace) {
                *error = QStringLiteral("--in-place and --export cannot be used together");
                return std::nullopt;
            }
            if (!takeValue(arguments, i, QStringLiteral("--export"), &options.exportDir, error))
                return std::nullopt;
            if (options.exportDir.isEmpty()) {
                *error = QStringLiteral("--export needs a folder");
                return std::nullopt;
            }
            options.mode = Mode::exportTo;
        } else if (isFlag(arg, QStringLiteral("--jobs"))) {
            if (!takeValue(arguments, i, QStringLiteral("--jobs"), &value, error))
                return std::nullopt;
            bool ok = false;
            const int jobs = value.toInt(&ok);
            if (!ok || jobs < 1 || jobs > 256) {
                *error = QStringLiteral("--jobs takes a whole number from 1 to 256");
                return std::nullopt;
            }
            options.jobs = jobs;
        } else if (arg == QLatin1String("--no-cache")) {
            options.noCache = true;
        } else if (arg == QLatin1String("--json")) {
            options.json = true;
        } else if (arg == QLatin1String("--quiet") || arg == QLatin1String("-q")) {
            options.quiet = true;
        } else {
            *error = QStringLiteral("unknown option “%1”").arg(arg);
            return std::nullopt;
        }
    }
    if (!options.help && options.paths.isEmpty()) {
        *error = QStringLiteral("no files or folders given");
        return std::nullopt;
    }
    return options;
}

QString CommandLineOptions::helpText()
{
    return QStringLiteral(
        "Usage: pressly [OPTIONS] PATH...\n"
        "\n"
        "Makes PNG, JPEG, GIF, SVG, WebP, HEIC and DNG images smaller without changing how they look\n"
        "(lossy presets change pixels only by their quantisation). PATHs are files or folders; folders\n"
        "are searched at any depth, skipping hidden files and packages.\n"
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
        "  --quiet, -q      print no log lines, only the summary\n"
        "  --help, -h       show this text\n"
        "\n"
        "Exit status: 0 when no file failed, 1 when any file failed, 2 for a usage error.\n"
        "Statistics of every run are kept with those of the window; the results cache and the\n"
        "statistics live under $XDG_DATA_HOME and $XDG_CONFIG_HOME.\n");
}
