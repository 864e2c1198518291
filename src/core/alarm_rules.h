#pragma once

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace core {

/// The section of envmeter.conf, and of a meter's own NAME.conf, that holds the alarms.
inline const QString kAlarmSection = QStringLiteral("alarm");

/// One limit watched: `sound_above=85`, with how long it must hold and how far back a raised
/// alarm must come to clear.
struct AlarmRule {
    QString name;     ///< its key, and the alarm's name: "sound_above", "temperature_below", ...
    QString quantity; ///< "sound", "humidity", "temperature", "light": its MQTT topic level
    QString function; ///< the log's function: "Sound", "Humidity", "Temp", "Light"
    bool above = true;
    double limit = 0;
    /// The limit's unit where it decides how readings are compared: C or F for temperature,
    /// which readings in the other are converted to; empty for the others (the reading's own).
    QString unit;
    double forSeconds = 0; ///< the condition holds this long before the alarm is raised
    double hysteresis = 0; ///< a raised alarm clears at a reading past the limit by this much
};

/// The [alarm] settings: the limits, the silent meter, the command told of each change.
struct AlarmSettings {
    std::vector<AlarmRule> rules;
    std::optional<double> silentSeconds; ///< the line on and no reading for this long
    QString command;
    QStringList mistakes; ///< each naming the file and its line
};

/// The [alarm] section of `file`, with that of `meterFile` (a meter's own, may be empty) read
/// over it key by key; every key and value checked.
AlarmSettings readAlarmSettings(const QString &file, const QString &meterFile = {});

/// A command line split into words as a shell would, without expanding anything: blanks
/// between words, '...' taken as it stands, "..." with \" \\ \$ and \` read, a backslash
/// taking the next character. None for a quote left open.
QStringList commandWords(QStringView command);

/// A duration as a user writes it: seconds ("90", "2.5"), or with s, m or h ("15m", "1h").
std::optional<double> readDuration(QStringView text);

/// The quantities alarms are set for: their key's first word and the log's function.
struct AlarmQuantity {
    const char *key;
    const QString *function;
};
extern const std::vector<AlarmQuantity> kAlarmQuantities;

} // namespace core
