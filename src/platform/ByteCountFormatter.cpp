#include "platform/ByteCountFormatter.h"

#include <QLocale>

#include <cmath>
#include <cstdlib>

namespace ByteCountFormatter {

QString format(qint64 bytes)
{
    if (bytes == 0)
        return QStringLiteral("0 bytes");
    const qint64 magnitude = bytes < 0 ? -bytes : bytes;
    if (magnitude < 1000)
        return QStringLiteral("%1 bytes").arg(bytes);
    static const char* const units[] = {"KB", "MB", "GB", "TB", "PB", "EB"};
    double value = double(bytes);
    int unit = -1;
    while (std::abs(value) >= 1000.0 && unit < 5) {
        value /= 1000.0;
        ++unit;
    }
    // Kilobytes are shown whole, larger units with one decimal where it matters.
    const int decimals = unit == 0 ? 0 : 1;
    const double rounded = std::round(value * std::pow(10.0, decimals)) / std::pow(10.0, decimals);
    QString number = QLocale::c().toString(rounded, 'f', decimals);
    if (number.endsWith(QStringLiteral(".0")))
        number.chop(2);
    return number + QLatin1Char(' ') + QLatin1String(units[unit]);
}

} // namespace ByteCountFormatter
