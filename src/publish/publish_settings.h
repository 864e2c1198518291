#pragma once

#include "core/reading_texts.h"

#include <QString>
#include <QStringList>

namespace publish {

/// Where and how readings are published: the [mqtt] section of the user's envmeter.conf, which
/// the window's "Publish..." dialog edits and envmeter-logger reads.
struct PublishSettings {
    bool enabled = false;
    QString host;
    int port = 0; ///< 0: 1883, or 8883 with TLS
    bool tls = false;
    QString caFile; ///< empty: the system's certificates
    QString username;
    QString password;
    QString prefix = QStringLiteral("envmeter");
    QString meter; ///< empty: the host name
    bool discovery = true;
    /// Each quantity's state is published after each interval of the clock this long.
    int interval = kDefaultInterval;
    /// The unit of the temperature's state, Celsius or Fahrenheit.
    QString temperatureUnit = core::kUnitCelsius;

    static constexpr int kDefaultInterval = 60;
    static constexpr int kShortestInterval = 10;
    static constexpr int kLongestInterval = 3600;

    int brokerPort() const;
    QString meterName() const;
    /// "host:port", for messages.
    QString broker() const;
    friend bool operator==(const PublishSettings &, const PublishSettings &) = default;
};

/// What a settings file says about publishing, and what is wrong in it.
struct SettingsReading {
    QString file;             ///< as the user writes it
    QString meterFile;        ///< a meter's own file read over it; empty when none
    bool found = false;       ///< a file exists
    PublishSettings settings; ///< what it says; the defaults for what it does not say
    QStringList mistakes;     ///< each naming the file and its line: publishing stays off
    QString exposed;          ///< a password others can read, naming chmod 600; empty if none

    /// Publishing is turned on, by a file with nothing wrong in it.
    bool publishes() const { return settings.enabled && mistakes.isEmpty(); }
    /// One line: whether the program publishes, where to, and which file says so.
    QString summary() const;
};

/// The [mqtt] settings a file holds, every key and value checked.
SettingsReading readPublishSettings(const QString &file);
/// The settings of one of several meters: `meterFile`'s [mqtt] keys over those of `file`, and
/// published as `meterName` unless `meterFile` says meter=. `meterFile` may also hold [meter],
/// whose keys are not read here.
SettingsReading readMeterPublishSettings(const QString &file, const QString &meterFile,
                                         const QString &meterName);
/// Why `name` cannot be one level of a topic (a meter name, the prefix): empty when it can.
QString topicLevelFault(const QString &name);
/// Writes the settings into the file's [mqtt] section, keeping its comments and other
/// sections; readable by the user alone when they hold a password. Returns what failed, in
/// words for the user; empty on success.
QString writePublishSettings(const QString &file, const PublishSettings &settings);

} // namespace publish
