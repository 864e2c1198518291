#pragma once

#include <QString>
#include <QStringList>

namespace core {

/// Why a name cannot name one of several meters (its folder, its settings file, its service
/// instance and its topics): empty when it can. Letters, digits, - and _.
QString meterNameFault(const QString &name);

/// The systemd user unit that logs the meter: envmeter-logger, or envmeter-logger@NAME for one
/// of several.
QString loggerService(const QString &meterName);

/// CONFIG/envmeter/NAME.conf, a meter's own settings, beside envmeter.conf.
QString meterSettingsFile(const QString &settingsFile, const QString &name);

/// The section of a meter's own settings file that names its line.
inline const QString kMeterSection = QStringLiteral("meter");

/// The meters that have a settings file beside `settingsFile` (envmeter.conf), by name.
QStringList meterNames(const QString &settingsFile);

/// The meters known on this machine, sorted, each once: those with a settings file beside
/// `settingsFile` and those with a folder in `dataFolder` holding a log named `logFile`.
QStringList knownMeters(const QString &settingsFile, const QString &dataFolder,
                        const QString &logFile);

/// Why `name` is no meter known here (no settings file and no folder), naming what was looked
/// for and the meters there are; empty when it is one.
QString unknownMeterFault(const QString &name, const QString &settingsFile,
                          const QString &dataFolder, const QString &logFile);

/// Where a meter is read from, as the [meter] section of its own settings file says.
struct MeterLine {
    bool found = false;   ///< the file exists
    QString device;       ///< a serial device or link (a bare name: under /dev); empty: by port
    int port = 0;         ///< 1 or 2; 0 when not said
    QStringList mistakes; ///< each naming the file and its line
};

/// The [meter] section of a meter's own settings file; nothing said when it has none. Keys of
/// the section written before any section, or under [Meter] in another case, are mistakes.
MeterLine readMeterLine(const QString &file);

} // namespace core
