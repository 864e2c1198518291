#pragma once

#include "core/alarm_watch.h"
#include "core/time_stamp.h"
#include "core/zone_clock.h"
#include "log/record_window.h"
#include "publish/interval_states.h"
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
/// value is null for an overload; the time is when it was taken, with the local offset of
/// then, or the record's own text where its stamp is no time.
QByteArray recordPayload(const logbook::LogRecord &record, std::optional<core::LocalInstant> taken);
/// PREFIX/METER/sound/state, and so on: the figures of each interval.
QString stateTopic(const PublishSettings &settings, const QString &function);
/// The states of an interval, a retained message for each quantity: {"start":
/// "2026-12-04T14:03:00+01:00", "end": "2026-12-04T14:04:00+01:00", "function": "Sound",
/// "unit": "dB", "readings": 516, "overloads": 0, "seconds": 60, "leq": 71.3, "lmax": 80.1,
/// "lmin": 62.5, "l10": 75.2, "l90": 64}; for the other quantities "mean", "min" and "max"
/// instead. Levels are left out when every reading was an overload.
std::vector<Message> stateMessages(const PublishSettings &settings, const IntervalState &state);
/// Home Assistant's id of the meter's device, envmeter_METER, what an id cannot hold as _:
/// its configurations are under homeassistant/COMPONENT/ID/.
QString discoveryDevice(const PublishSettings &settings);
/// Home Assistant's discovery: retained configurations of sensors of one device reading the
/// state topics: sound as its Leq, Lmax and Lmin, the others as their mean, the temperature in
/// the settings' unit; the state's other figures as attributes.
std::vector<Message> discoveryMessages(const PublishSettings &settings);

/// PREFIX/METER/sound/alarm (and so on), or PREFIX/METER/silent for the silent meter.
QString alarmTopic(const PublishSettings &settings, const core::AlarmEvent &event);
/// An alarm raised or cleared: its retained state, {"state": "high"|"low"|"off", "limit": 85,
/// "since": ..., "value": ..., "peak": ..., "unit": "dB"} ({"state": "on"|"off", "since": ...}
/// of the silent meter), and the event on PREFIX/METER/event, {"meter": ..., "event":
/// "raised"|"cleared", "alarm": "sound_above", ..., "at": ...}. Times with their offsets.
std::vector<Message> alarmMessages(const PublishSettings &settings, const core::AlarmEvent &event,
                                   const core::ZoneClock &zone);
/// Home Assistant's binary sensor of each alarm set, on the meter's device; an empty retained
/// configuration for each that is not, which removes it.
std::vector<Message> alarmDiscoveryMessages(const PublishSettings &settings,
                                            const QStringList &alarms);

} // namespace publish
