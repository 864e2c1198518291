#include "publish/record_message.h"

#include "core/reading_texts.h"
#include "core/time_stamp.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

#include <algorithm>

namespace publish {

namespace {

/// A quantity's topic level and Home Assistant's device class for it.
struct Quantity {
    const QString *function;
    const char *topic;
    const char *deviceClass;
};

constexpr Quantity kQuantities[] = {
    {&core::kFunctionSound, "sound", "sound_pressure"},
    {&core::kFunctionHumidity, "humidity", "humidity"},
    {&core::kFunctionTemp, "temperature", "temperature"},
    {&core::kFunctionLight, "light", "illuminance"},
};

/// A sensor of Home Assistant: one figure of a quantity's state. The first of each quantity
/// keeps the object id the per-record sensors had, so that an existing entity goes on.
struct Sensor {
    const QString *function;
    const char *object;
    const char *name;
    const char *figure;
};

constexpr Sensor kSensors[] = {
    {&core::kFunctionSound, "sound", "Sound level Leq", "leq"},
    {&core::kFunctionSound, "sound_lmax", "Sound level Lmax", "lmax"},
    {&core::kFunctionSound, "sound_lmin", "Sound level Lmin", "lmin"},
    {&core::kFunctionHumidity, "humidity", "Humidity", "mean"},
    {&core::kFunctionTemp, "temperature", "Temperature", "mean"},
    {&core::kFunctionLight, "light", "Illuminance", "mean"},
};

const Quantity *quantityOf(const QString &function) {
    for (const Quantity &q : kQuantities)
        if (function == *q.function)
            return &q;
    return nullptr;
}

QString meterTopic(const PublishSettings &settings) {
    return settings.prefix + u'/' + settings.meterName();
}

/// A JSON string literal, quotes included.
QByteArray jsonText(const QString &text) {
    const QByteArray array = QJsonDocument(QJsonArray{text}).toJson(QJsonDocument::Compact);
    return array.mid(1, array.size() - 2);
}

/// A name Home Assistant takes as part of an id: letters, digits, _ and -.
QString idOf(const QString &text) {
    QString id = text;
    id.replace(QRegularExpression(QStringLiteral("[^A-Za-z0-9_-]")), QStringLiteral("_"));
    return id;
}

} // namespace

QString recordTopic(const PublishSettings &settings, const QString &function) {
    const Quantity *q = quantityOf(function);
    return q ? meterTopic(settings) + u'/' + QLatin1String(q->topic) : QString();
}

QString statusTopic(const PublishSettings &settings) {
    return meterTopic(settings) + QStringLiteral("/status");
}

QByteArray recordPayload(const logbook::LogRecord &record,
                         std::optional<core::LocalInstant> taken) {
    const bool overload = core::isOverloadText(record.data);
    bool number = false;
    const double value = record.data.toDouble(&number);
    const QByteArray valueText =
        overload || !number ? QByteArrayLiteral("null") : QByteArray::number(value, 'g', 15);
    return "{\"record\": " + QByteArray::number(record.no) +
           ", \"time\": " + jsonText(taken ? core::isoTimeWithOffset(*taken) : record.time) +
           ", \"function\": " + jsonText(record.function) + ", \"value\": " + valueText +
           ", \"text\": " + jsonText(record.data) + ", \"unit\": " + jsonText(record.unit) +
           ", \"overload\": " + (overload ? "true" : "false") + '}';
}

QString stateTopic(const PublishSettings &settings, const QString &function) {
    const QString topic = recordTopic(settings, function);
    return topic.isEmpty() ? topic : topic + QStringLiteral("/state");
}

std::vector<Message> stateMessages(const PublishSettings &settings, const IntervalState &state) {
    const auto number = [](double v) { return QByteArray::number(v, 'g', 15); };
    const QByteArray interval = "{\"start\": " + jsonText(core::isoTimeWithOffset(state.start)) +
                                ", \"end\": " + jsonText(core::isoTimeWithOffset(state.end));
    std::vector<Message> messages;
    std::vector<QString> told;
    for (const stats::GroupFigures &g : state.groups) {
        const QString topic = stateTopic(settings, g.function);
        // One state a quantity: its first group, should a log hold several units of it.
        if (topic.isEmpty() || std::find(told.begin(), told.end(), topic) != told.end())
            continue;
        told.push_back(topic);
        QByteArray payload = interval + ", \"function\": " + jsonText(g.function) +
                             ", \"unit\": " + jsonText(g.unit) +
                             ", \"readings\": " + QByteArray::number(g.readings) +
                             ", \"overloads\": " + QByteArray::number(g.overloads) +
                             ", \"seconds\": " + number(g.seconds);
        const auto figure = [&](const char *name, const std::optional<double> &value) {
            if (value)
                payload += ", \"" + QByteArray(name) + "\": " + number(*value);
        };
        if (g.function == core::kFunctionSound) {
            figure("leq", g.leq);
            figure("lmax", g.max);
            figure("lmin", g.min);
            figure("l10", g.l10);
            figure("l90", g.l90);
        } else {
            figure("mean", g.mean);
            figure("min", g.min);
            figure("max", g.max);
        }
        messages.push_back({topic, payload + '}'});
    }
    return messages;
}

QString discoveryDevice(const PublishSettings &settings) {
    return idOf(QStringLiteral("envmeter_") + settings.meterName());
}

std::vector<Message> discoveryMessages(const PublishSettings &settings) {
    const QString device = discoveryDevice(settings);
    const QJsonObject deviceInfo{
        {QStringLiteral("identifiers"), QJsonArray{device}},
        {QStringLiteral("name"), QStringLiteral("Environment meter ") + settings.meterName()},
        {QStringLiteral("model"), QStringLiteral("envmeter")},
        {QStringLiteral("manufacturer"), QStringLiteral("envmeter")},
    };
    const auto unitOf = [&settings](const QString &function) {
        if (function == core::kFunctionSound)
            return QStringLiteral("dB");
        if (function == core::kFunctionHumidity)
            return QStringLiteral("%");
        if (function == core::kFunctionLight)
            return QStringLiteral("lx");
        return settings.temperatureUnit == core::kUnitFahrenheit ? QStringLiteral("°F")
                                                                 : QStringLiteral("°C");
    };
    // A state missed three times over: the meter is not measuring that quantity now.
    const int expireAfter = 3 * settings.interval;
    std::vector<Message> messages;
    for (const Sensor &sensor : kSensors) {
        const QString topic = stateTopic(settings, *sensor.function);
        const QString object = QLatin1String(sensor.object);
        const QJsonObject config{
            {QStringLiteral("name"), QLatin1String(sensor.name)},
            {QStringLiteral("unique_id"), device + u'_' + object},
            {QStringLiteral("state_topic"), topic},
            // Rendered as None, the state is unknown: an interval of overloads only.
            {QStringLiteral("value_template"), QStringLiteral("{{ value_json.%1 | default(none) }}")
                                                   .arg(QLatin1String(sensor.figure))},
            {QStringLiteral("json_attributes_topic"), topic},
            {QStringLiteral("unit_of_measurement"), unitOf(*sensor.function)},
            {QStringLiteral("device_class"),
             QLatin1String(quantityOf(*sensor.function)->deviceClass)},
            {QStringLiteral("state_class"), QStringLiteral("measurement")},
            {QStringLiteral("suggested_display_precision"), 1},
            {QStringLiteral("expire_after"), expireAfter},
            {QStringLiteral("availability_topic"), statusTopic(settings)},
            {QStringLiteral("device"), deviceInfo},
        };
        messages.push_back({QStringLiteral("homeassistant/sensor/%1/%2/config").arg(device, object),
                            QJsonDocument(config).toJson(QJsonDocument::Compact)});
    }
    return messages;
}

QString alarmTopic(const PublishSettings &settings, const core::AlarmEvent &event) {
    return meterTopic(settings) + u'/' +
           (event.quantity.isEmpty() ? QStringLiteral("silent")
                                     : event.quantity + QStringLiteral("/alarm"));
}

std::vector<Message> alarmMessages(const PublishSettings &settings, const core::AlarmEvent &event,
                                   const core::ZoneClock &zone) {
    const bool raised = event.change == core::AlarmEvent::Change::Raised;
    const bool silent = event.quantity.isEmpty();
    const QString since = core::isoTimeWithOffset(zone.at(event.since));
    const QString at = core::isoTimeWithOffset(zone.at(event.at));
    const QString state = silent        ? (raised ? QStringLiteral("on") : QStringLiteral("off"))
                          : !raised     ? QStringLiteral("off")
                          : event.above ? QStringLiteral("high")
                                        : QStringLiteral("low");
    QJsonObject current{{QStringLiteral("state"), state},
                        {QStringLiteral("since"), raised ? since : at}};
    QJsonObject told{
        {QStringLiteral("meter"), settings.meterName()},
        {QStringLiteral("event"), raised ? QStringLiteral("raised") : QStringLiteral("cleared")},
        {QStringLiteral("alarm"), event.name},
        {QStringLiteral("state"), state},
        {QStringLiteral("since"), since},
        {QStringLiteral("at"), at}};
    if (!silent) {
        const QJsonValue value = event.value ? QJsonValue(*event.value) : QJsonValue();
        for (QJsonObject *object : {&current, &told}) {
            object->insert(QStringLiteral("limit"), event.limit);
            object->insert(QStringLiteral("value"), value);
            object->insert(QStringLiteral("peak"), event.peak);
            object->insert(QStringLiteral("unit"), event.unit);
        }
    }
    return {{alarmTopic(settings, event), QJsonDocument(current).toJson(QJsonDocument::Compact)},
            {meterTopic(settings) + QStringLiteral("/event"),
             QJsonDocument(told).toJson(QJsonDocument::Compact)}};
}

std::vector<Message> alarmDiscoveryMessages(const PublishSettings &settings,
                                            const QStringList &alarms) {
    const QString device = discoveryDevice(settings);
    // Each alarm there can be, with the class Home Assistant shows it as.
    const std::pair<const char *, const char *> kinds[] = {
        {"sound_above", "sound"},       {"sound_below", "sound"},
        {"humidity_above", "moisture"}, {"humidity_below", "moisture"},
        {"temperature_above", "heat"},  {"temperature_below", "cold"},
        {"light_above", "light"},       {"light_below", "light"},
        {"silent", "problem"}};
    std::vector<Message> messages;
    for (const auto &[name, deviceClass] : kinds) {
        const QString alarm = QLatin1String(name);
        const QString topic =
            QStringLiteral("homeassistant/binary_sensor/%1/%2/config").arg(device, alarm);
        if (!alarms.contains(alarm)) {
            messages.push_back({topic, {}});
            continue;
        }
        core::AlarmEvent probe;
        probe.name = alarm;
        probe.quantity = alarm == u"silent" ? QString() : alarm.section(u'_', 0, 0);
        const QString state = alarmTopic(settings, probe);
        const QString on = alarm == u"silent"          ? QStringLiteral("on")
                           : alarm.endsWith(u"_above") ? QStringLiteral("high")
                                                       : QStringLiteral("low");
        const QJsonObject config{
            {QStringLiteral("name"), QStringLiteral("Alarm ") + QString(alarm).replace(u'_', u' ')},
            {QStringLiteral("unique_id"), device + QStringLiteral("_alarm_") + alarm},
            {QStringLiteral("state_topic"), state},
            {QStringLiteral("value_template"),
             QStringLiteral("{{ 'ON' if value_json.state == '%1' else 'OFF' }}").arg(on)},
            {QStringLiteral("json_attributes_topic"), state},
            {QStringLiteral("device_class"), QLatin1String(deviceClass)},
            {QStringLiteral("availability_topic"), statusTopic(settings)},
            {QStringLiteral("device"),
             QJsonObject{{QStringLiteral("identifiers"), QJsonArray{device}}}},
        };
        messages.push_back({topic, QJsonDocument(config).toJson(QJsonDocument::Compact)});
    }
    return messages;
}

} // namespace publish
