#include "app/ToolNotices.h"

#include "platform/Log.h"

#include <QHash>
#include <QPointer>
#include <QRegularExpression>

#include <cstdio>

ToolNotices::ToolNotices(QObject* parent) : QObject(parent)
{
    QPointer<ToolNotices> self(this);
    Log::setSink([self](const QString& message) {
        const QByteArray bytes = message.toUtf8() + '\n';
        std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
        std::fflush(stdout);
        // Lines may come from pool threads; the notice lives on the event loop.
        if (self)
            QMetaObject::invokeMethod(self.data(), [self, message] {
                if (self)
                    self->noteLine(message);
            }, Qt::QueuedConnection);
    });
}

ToolNotices::~ToolNotices()
{
    Log::setSink({});
}

namespace {
// Tools that Debian packages; the others come with Pressly Pro itself.
QString debianPackageOf(const QString& tool)
{
    static const QHash<QString, QString> packages{{QStringLiteral("pngquant"), QStringLiteral("pngquant")},
                                                  {QStringLiteral("jpegoptim"), QStringLiteral("jpegoptim")},
                                                  {QStringLiteral("jpegtran"), QStringLiteral("libjpeg-turbo-progs")},
                                                  {QStringLiteral("gifsicle"), QStringLiteral("gifsicle")}};
    return packages.value(tool);
}
} // namespace

// An installed app's user has no scripts folder: name what to install.
QString ToolNotices::text() const
{
    if (missing_.isEmpty() || dismissed_)
        return {};
    QStringList packages;
    QStringList bundled;
    for (const QString& tool : missing_) {
        const QString package = debianPackageOf(tool);
        if (package.isEmpty())
            bundled.append(tool);
        else if (!packages.contains(package))
            packages.append(package);
    }
    QString text = tr("Not installed: %1. Pressly Pro uses a slower built-in method for these files, or skips them.")
                       .arg(missing_.join(QStringLiteral(", ")));
    if (!packages.isEmpty())
        text += QLatin1Char(' ')
            + tr("To install: sudo apt install %1.")
                  .arg(packages.join(QLatin1Char(' ')));
    if (!bundled.isEmpty())
        text += QLatin1Char(' ')
            + tr("%1 came with Pressly Pro: reinstall the pressly-pro package.")
                  .arg(bundled.join(QStringLiteral(", ")));
    return text;
}

void ToolNotices::dismiss()
{
    dismissed_ = true;
    emit textChanged();
}

void ToolNotices::noteLine(const QString& line)
{
    static const QRegularExpression notFound(QStringLiteral("^❌ (\\S+) not found in bundle or system$"));
    const auto match = notFound.match(line);
    if (!match.hasMatch() || missing_.contains(match.captured(1)))
        return;
    missing_.append(match.captured(1));
    dismissed_ = false;
    emit textChanged();
}
