#include "publish/record_message.h"

#include "core/reading_texts.h"
#include "core/time_stamp.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

#include <cstdlib>

namespace publish {

namespace {

struct Quantity {
    const QString *function;
    const char *topic;
    const char *deviceClass;
    const char *name;
};

constexpr Quantity kQuantities[] = {
    {&core::kFunctionSound, "sound", "sound_pressure", "Sound level"},
    {&core::kFunctionHumidity, "humidity", "humidity", "Humidity"},
    {&core::kFunctionTemp, "temperature", "temperature", "Temperature"},
    {&core::kFunctionLight, "light", "illuminance", "Illuminance"},
};

QString meterTopic(const PublishSettings &settings) {
    return settings.prefix + u'/' + settings.meterName();
}

/// A JSON string literal, quotes included.
QByteArray jsonText(const QString &text) {
    const QByteArray array = QJsonDocument(QJsonArray{text}).toJson(QJsonDocument::Compact);
    return array.mid(1, array.size() - 2);
}

/// The time a record was taken, with the local offset it had then; its own text when it is
/// no time stamp.
QString isoTimeWithOffset(const QString &stamp) {
    const std::optional<QDateTime> local = core::readTimeStamp(stamp);
    if (!local)
        return stamp;
    // Always as an offset, "+00:00" included, never "Z".
    const int offset = local->offsetFromUtc();
    const int minutes = std::abs(offset) / 60;
    return local->toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss")) + (offset < 0 ? u'-' : u'+') +
           QStringLiteral("%1:%2")
               .arg(minutes / 60, 2, 10, QLatin1Char('0'))
               .arg(minutes % 60, 2, 10, QLatin1Char('0'));
}

/// A name Home Assistant takes as part of an id: letters, digits, _ and -.
QString idOf(const QString &text) {
    QString id = text;
    id.replace(QRegularExpression(QStringLiteral("[^A-Za-z0-9_-]")), QStringLiteral("_"));
    return id;
}

} // namespace

QString recordTopic(const PublishSettings &settings, const QString &function) {
    for (const Quantity &q : kQuantities)
        if (function == *q.function)
            return meterTopic(settings) + u'/' + QLatin1String(q.topic);
    return {};
}

QString statusTopic(const PublishSettings &settings) {
    return meterTopic(settings) + QStringLiteral("/status");
}

QByteArray recordPayload(const logbook::LogRecord &record) {
    const bool overload = core::isOverloadText(record.data);
    bool number = false;
    const double value = record.data.toDouble(&number);
    const QByteArray valueText =
        overload || !number ? QByteArrayLiteral("null") : QByteArray::number(value, 'g', 15);
    return "{\"record\": " + QByteArray::number(record.no) +
           ", \"time\": " + jsonText(isoTimeWithOffset(record.time)) +
           ", \"function\": " + jsonText(record.function) + ", \"value\": " + valueText +
           ", \"text\": " + jsonText(record.data) + ", \"unit\": " + jsonText(record.unit) +
           ", \"overload\": " + (overload ? "true" : "false") + '}';
}

std::vector<Message> discoveryMessages(const PublishSettings &settings,
                                       const QString &temperatureUnit) {
    const QString device = idOf(QStringLiteral("envmeter_") + settings.meterName());
    const QJsonObject deviceInfo{
        {QStringLiteral("identifiers"), QJsonArray{device}},
        {QStringLiteral("name"), QStringLiteral("Environment meter ") + settings.meterName()},
        {QStringLiteral("model"), QStringLiteral("envmeter")},
        {QStringLiteral("manufacturer"), QStringLiteral("envmeter")},
    };
    const QString units[] = {QStringLiteral("dB"), QStringLiteral("%"),
                             temperatureUnit == u"F" ? QStringLiteral("°F") : QStringLiteral("°C"),
                             QStringLiteral("lx")};
    std::vector<Message> messages;
    for (std::size_t i = 0; i < std::size(kQuantities); ++i) {
        const Quantity &q = kQuantities[i];
        const QString object = QLatin1String(q.topic);
        const QJsonObject config{
            {QStringLiteral("name"), QLatin1String(q.name)},
            {QStringLiteral("unique_id"), device + u'_' + object},
            {QStringLiteral("state_topic"), recordTopic(settings, *q.function)},
            {QStringLiteral("value_template"), QStringLiteral("{{ value_json.value }}")},
            {QStringLiteral("unit_of_measurement"), units[i]},
            {QStringLiteral("device_class"), QLatin1String(q.deviceClass)},
            {QStringLiteral("state_class"), QStringLiteral("measurement")},
            {QStringLiteral("availability_topic"), statusTopic(settings)},
            {QStringLiteral("device"), deviceInfo},
        };
        messages.push_back({QStringLiteral("homeassistant/sensor/%1/%2/config").arg(device, object),
                            QJsonDocument(config).toJson(QJsonDocument::Compact)});
    }
    return messages;
}

} // namespace publish
