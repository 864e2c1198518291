#pragma once

#include <QString>

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

    int brokerPort() const;
    QString meterName() const;
    /// "host:port", for messages.
    QString broker() const;
    friend bool operator==(const PublishSettings &, const PublishSettings &) = default;
};

/// $XDG_CONFIG_HOME/envmeter/envmeter.conf (~/.config/envmeter/envmeter.conf).
QString settingsFile();
/// The settings a file holds; the defaults for what it does not say, or for no file.
PublishSettings readPublishSettings(const QString &file);
/// Writes the settings, readable by the user alone when they hold a password. Returns what
/// failed, in words for the user; empty on success.
QString writePublishSettings(const QString &file, const PublishSettings &settings);

} // namespace publish
