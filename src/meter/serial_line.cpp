#include "meter/serial_line.h"

#include <QStringList>

namespace meter {

std::optional<LineSettings> parseLineSettings(const QString &text) {
    const QStringList fields = text.split(u',');
    if (fields.size() != 4)
        return std::nullopt;
    bool ok = false;
    LineSettings settings;
    settings.baud = fields[0].trimmed().toInt(&ok);
    if (!ok || settings.baud <= 0)
        return std::nullopt;
    const QString parity = fields[1].trimmed().toLower();
    if (parity.size() != 1 || !QStringLiteral("neoms").contains(parity))
        return std::nullopt;
    settings.parity = char(parity[0].unicode());
    settings.dataBits = fields[2].trimmed().toInt(&ok);
    if (!ok || settings.dataBits < 5 || settings.dataBits > 8)
        return std::nullopt;
    settings.stopBits = fields[3].trimmed().toInt(&ok);
    if (!ok || (settings.stopBits != 1 && settings.stopBits != 2))
        return std::nullopt;
    return settings;
}

} // namespace meter
