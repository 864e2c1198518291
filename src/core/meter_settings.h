#pragma once

#include <QString>
#include <QStringList>

namespace core {

/// Why a name cannot name one of several meters (its folder, its settings file, its service
/// instance and its topics): empty when it can. Letters, digits, - and _.
QString meterNameFault(const QString &name);

/// CONFIG/envmeter/NAME.conf, a meter's own settings, beside envmeter.conf.
QString meterSettingsFile(const QString &settingsFile, const QString &name);

/// Where a meter is read from, as the [meter] section of its own settings file says.
struct MeterLine {
    QString device;       ///< a serial device or link (a bare name: under /dev); empty: by port
    int port = 0;         ///< 1 or 2; 0 when not said
    QStringList mistakes; ///< each naming the file and its line
};

/// The [meter] section of a meter's own settings file; nothing said when it has none.
MeterLine readMeterLine(const QString &file);

} // namespace core
