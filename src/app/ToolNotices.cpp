#include "app/ToolNotices.h"

#include "platform/Log.h"

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

QString ToolNotices::text() const
{
    if (missing_.isEmpty() || dismissed_)
        return {};
    return QStringLiteral("Not installed: %1. Pressly Pro uses a slower built-in method for these files, "
                          "or skips them. Run scripts/bootstrap to install the tools.")
        .arg(missing_.join(QStringLiteral(", ")));
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
