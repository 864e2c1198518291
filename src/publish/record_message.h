#pragma once

#include "log/record_window.h"
#include "publish/publish_settings.h"

#include <QByteArray>
#include <QString>

#include <vector>

namespace publish {

/// One MQTT message: where it goes and what it says.
struct Message {
    QString topic;
    QByteArray payload;
};

/// The topic of a record: PREFIX/METER/sound, /humidity, /temperature or /light by its
/// function; empty for a record with no function.
QString recordTopic(const PublishSettings &settings, const QString &function);
/// PREFIX/METER/status: "online" while connected, "offline" otherwise (retained).
QString statusTopic(const PublishSettings &settings);
/// A record as subscribers read it: {"record": 12, "time": "2026-12-04T14:03:27+01:00",
/// "function": "Sound", "value": 73.4, "text": "73.4", "unit": "dB", "overload": false}. The
/// value is null for an overload; the time is the record's, with the local offset of then.
QByteArray recordPayload(const logbook::LogRecord &record);
/// Home Assistant's discovery: a retained configuration for each function, all of one device,
/// the temperature in `temperatureUnit` ("C" or "F").
std::vector<Message> discoveryMessages(const PublishSettings &settings,
                                       const QString &temperatureUnit);

} // namespace publish
