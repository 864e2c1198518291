#include "publish/publish_settings.h"

#include "core/alarm_rules.h"
#include "core/log_settings.h"
#include "core/meter_settings.h"
#include "core/reading_texts.h"
#include "core/settings_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <QSysInfo>

#include <algorithm>
#include <functional>
#include <map>

namespace publish {

namespace {

constexpr int kPlainPort = 1883;
constexpr int kTlsPort = 8883;
constexpr int kLastPort = 65535;
const QString kSection = QStringLiteral("mqtt");

/// "true" or "false" ("yes", "no", "1", "0" too), or what is wrong.
QString readFlag(const QString &value, bool &flag) {
    const auto isOneOf = [&value](std::initializer_list<const char *> words) {
        return std::any_of(words.begin(), words.end(), [&value](const char *word) {
            return value.compare(QLatin1String(word), Qt::CaseInsensitive) == 0;
        });
    };
    if (!isOneOf({"true", "yes", "1", "false", "no", "0"}))
        return QStringLiteral("write true or false");
    flag = isOneOf({"true", "yes", "1"});
    return {};
}

/// A port number, or nothing for the default; or what is wrong.
QString readPort(const QString &value, int &port) {
    bool number = !value.isEmpty();
    for (const QChar c : value)
        number = number && c >= u'0' && c <= u'9';
    const int read = number && value.size() <= 5 ? value.toInt() : -1;
    if (!value.isEmpty() && (read < 1 || read > kLastPort))
        return QStringLiteral("a port is a number from 1 to %1, or nothing for the default")
            .arg(kLastPort);
    port = value.isEmpty() ? 0 : read;
    return {};
}

/// Seconds from the shortest interval to the longest; or what is wrong.
QString readInterval(const QString &value, int &interval) {
    bool number = !value.isEmpty() && value.size() <= 4;
    for (const QChar c : value)
        number = number && c >= u'0' && c <= u'9';
    const int read = number ? value.toInt() : 0;
    if (read < PublishSettings::kShortestInterval || read > PublishSettings::kLongestInterval)
        return QStringLiteral("the interval is a number of seconds from %1 to %2")
            .arg(PublishSettings::kShortestInterval)
            .arg(PublishSettings::kLongestInterval);
    interval = read;
    return {};
}

/// C or F; or what is wrong.
QString readTemperatureUnit(const QString &value, QString &unit) {
    for (const QString &known : {core::kUnitCelsius, core::kUnitFahrenheit})
        if (value.compare(known, Qt::CaseInsensitive) == 0) {
            unit = known;
            return {};
        }
    return QStringLiteral("write C or F");
}

} // namespace

int PublishSettings::brokerPort() const {
    if (port > 0)
        return port;
    return tls ? kTlsPort : kPlainPort;
}

QString PublishSettings::meterName() const {
    return meter.isEmpty() ? QSysInfo::machineHostName() : meter;
}

QString PublishSettings::broker() const {
    return QStringLiteral("%1:%2").arg(host).arg(brokerPort());
}

QString SettingsReading::summary() const {
    QString where = QDir::toNativeSeparators(file);
    if (!meterFile.isEmpty()) {
        if (!QFileInfo::exists(file))
            where = QDir::toNativeSeparators(meterFile);
        else if (QFileInfo::exists(meterFile))
            where += QStringLiteral(" with ") + QDir::toNativeSeparators(meterFile);
    }
    if (!found)
        return meterFile.isEmpty()
                   ? QStringLiteral("Not publishing: there is no %1 to turn it on.").arg(where)
                   : QStringLiteral("Not publishing: neither %1 nor %2 turns it on.")
                         .arg(where, QDir::toNativeSeparators(meterFile));
    if (!mistakes.isEmpty())
        return QStringLiteral("Not publishing until %1 is put right.").arg(where);
    if (!settings.enabled)
        return QStringLiteral("Not publishing: %1 does not say enabled=true.").arg(where);
    return QStringLiteral("Publishing to %1 as %2/%3, as %4 says.")
        .arg(settings.broker(), settings.prefix, settings.meterName(), where);
}

QString topicLevelFault(const QString &name) {
    for (const QChar c : name) {
        if (c == u'/' || c == u'+' || c == u'#')
            return QStringLiteral("a name in MQTT topics cannot hold %1").arg(c);
        if (c.category() == QChar::Other_Control || c.category() == QChar::Other_Format)
            return QStringLiteral("a name in MQTT topics cannot hold control characters");
    }
    return {};
}

namespace {

/// Reads the [mqtt] section of one file into `reading`, its keys over those read before; a
/// meter's own file may also hold [meter]. `overridden`: another file is read over it.
void readSettingsFile(SettingsReading &reading, const QString &file, bool meterFile,
                      bool overridden) {
    const core::SettingsFile read = core::loadSettingsFile(file);
    if (!read.found)
        return;
    reading.found = true;
    const QString where = QDir::toNativeSeparators(file);
    if (!read.failure.isEmpty()) {
        reading.mistakes.append(read.failure);
        return;
    }
    const core::SettingsText parsed = core::parseSettings(read.text);
    std::vector<core::SettingsMistake> mistakes = parsed.mistakes;
    const auto mistake = [&mistakes](int line, const QString &what) {
        mistakes.push_back({line, what});
    };
    const QString &meterSection = core::kMeterSection;
    const QString known =
        meterFile ? QStringLiteral("[%1], [%2], [%3] and [%4]")
                        .arg(kSection, core::kAlarmSection, core::kLogSection, meterSection)
                  : QStringLiteral("[%1], [%2] and [%3]")
                        .arg(kSection, core::kAlarmSection, core::kLogSection);
    for (const core::SettingsSection &section : parsed.sections) {
        // A meter's [meter] section, however written, is the meter's line's to check; [alarm]
        // is the alarms', [log] the logs'.
        if (section.name == kSection || section.name == core::kAlarmSection ||
            section.name == core::kLogSection ||
            (meterFile && section.name.compare(meterSection, Qt::CaseInsensitive) == 0))
            continue;
        mistake(section.line,
                section.name.compare(kSection, Qt::CaseInsensitive) == 0
                    ? QStringLiteral("the section is written [%1], not [%2]")
                          .arg(kSection, section.name)
                    : QStringLiteral("unknown section [%1]: the settings are under %2")
                          .arg(section.name, known));
    }

    // Each key with what reads its value into the settings, saying what is wrong with it.
    using Reader = std::function<QString(const QString &)>;
    const auto flag = [](bool &field) -> Reader {
        return [&field](const QString &v) { return readFlag(v, field); };
    };
    const auto text = [](QString &field, const std::function<QString(const QString &)> &check) {
        return Reader([&field, check](const QString &v) {
            field = v;
            return check ? check(v) : QString();
        });
    };
    const auto topicLevel = [](const QString &v) {
        return v.isEmpty() ? QStringLiteral("the topic prefix is empty") : topicLevelFault(v);
    };
    PublishSettings &s = reading.settings;
    const std::vector<std::pair<const char *, Reader>> keys{
        {"enabled", flag(s.enabled)},
        {"host", text(s.host, {})},
        {"port", [&s](const QString &v) { return readPort(v, s.port); }},
        {"tls", flag(s.tls)},
        {"ca_file", text(s.caFile, {})},
        {"username", text(s.username, {})},
        {"password", text(s.password, {})},
        {"prefix", text(s.prefix, topicLevel)},
        {"meter", text(s.meter, topicLevelFault)},
        {"discovery", flag(s.discovery)},
        {"interval", [&s](const QString &v) { return readInterval(v, s.interval); }},
        {"temperature_unit",
         [&s](const QString &v) { return readTemperatureUnit(v, s.temperatureUnit); }},
    };
    std::map<QString, int> seen;
    for (const core::SettingsEntry &entry : parsed.entries) {
        const auto key = std::find_if(keys.begin(), keys.end(), [&](const auto &k) {
            return entry.key == QLatin1String(k.first);
        });
        if (entry.section.isEmpty()) {
            const bool lineKey = entry.key == u"device" || entry.key == u"port";
            // A meter's line named before any section is the meter's line's to tell.
            if (lineKey && meterFile)
                continue;
            mistake(entry.line,
                    QStringLiteral("%1= stands before any section: ").arg(entry.key) +
                        (key != keys.end() ? QStringLiteral("it belongs under [%1]").arg(kSection)
                         : lineKey ? QStringLiteral("a meter's line is named under [%1] in the "
                                                    "meter's own NAME.conf")
                                         .arg(meterSection)
                                   : QStringLiteral("the settings are under %1").arg(known)));
            continue;
        }
        if (entry.section != kSection)
            continue;
        if (key == keys.end()) {
            QStringList names;
            for (const auto &k : keys)
                names.append(QLatin1String(k.first));
            mistake(entry.line, QStringLiteral("unknown key \"%1\" (the keys of [%2] are %3)")
                                    .arg(entry.key, kSection, names.join(QStringLiteral(", "))));
        } else if (const auto [first, isNew] = seen.emplace(entry.key, entry.line); !isNew) {
            mistake(entry.line, QStringLiteral("%1 is set again (first on line %2)")
                                    .arg(entry.key)
                                    .arg(first->second));
        } else if (const QString fault = key->second(entry.value); !fault.isEmpty()) {
            mistake(entry.line, QStringLiteral("%1=%2: %3").arg(entry.key, entry.value, fault) +
                                    core::commentHint(entry.value));
        }
    }
    // A host may still come from a meter's own file.
    const QString noHost = QStringLiteral("enabled=true, but no host= names the broker");
    if (s.enabled && s.host.isEmpty() && !overridden) {
        if (seen.count(QStringLiteral("enabled")))
            mistake(seen[QStringLiteral("enabled")], noHost);
        else
            reading.mistakes.append(
                QStringLiteral("%1: %2 (as %3 says)")
                    .arg(where, noHost, QDir::toNativeSeparators(reading.file)));
    }
    std::stable_sort(mistakes.begin(), mistakes.end(),
                     [](const auto &a, const auto &b) { return a.line < b.line; });
    for (const core::SettingsMistake &m : mistakes)
        reading.mistakes.append(QStringLiteral("%1:%2: %3").arg(where).arg(m.line).arg(m.what));
    constexpr QFileDevice::Permissions kOthersRead =
        QFileDevice::ReadGroup | QFileDevice::ReadOther;
    if (seen.count(QStringLiteral("password")) && !s.password.isEmpty() &&
        (QFileInfo(file).permissions() & kOthersRead))
        reading.exposed = QStringLiteral("%1 holds a password that other users can read; "
                                         "chmod 600 %1 keeps it yours alone.")
                              .arg(where);
}

} // namespace

SettingsReading readPublishSettings(const QString &file) {
    SettingsReading reading;
    reading.file = file;
    readSettingsFile(reading, file, false, false);
    return reading;
}

SettingsReading readMeterPublishSettings(const QString &file, const QString &meterFile,
                                         const QString &meterName) {
    SettingsReading reading;
    reading.file = file;
    reading.meterFile = meterFile;
    readSettingsFile(reading, file, false, QFileInfo::exists(meterFile));
    // Each meter its own name, unless its own file gives another.
    reading.settings.meter = meterName;
    readSettingsFile(reading, meterFile, true, false);
    return reading;
}

QString writePublishSettings(const QString &file, const PublishSettings &s) {
    const QString where = QDir::toNativeSeparators(file);
    if (!QDir().mkpath(QFileInfo(file).absolutePath()))
        return QStringLiteral("the folder of %1 cannot be made").arg(where);
    const core::SettingsFile read = core::loadSettingsFile(file);
    if (!read.failure.isEmpty())
        return read.failure;
    QString text = read.text;
    const auto flag = [](bool on) { return on ? QStringLiteral("true") : QStringLiteral("false"); };
    text = core::withSettings(
        text, kSection,
        {{QStringLiteral("enabled"), flag(s.enabled)},
         {QStringLiteral("host"), s.host},
         {QStringLiteral("port"), s.port > 0 ? QString::number(s.port) : QString()},
         {QStringLiteral("tls"), flag(s.tls)},
         {QStringLiteral("ca_file"), s.caFile},
         {QStringLiteral("username"), s.username},
         {QStringLiteral("password"), s.password},
         {QStringLiteral("prefix"), s.prefix},
         {QStringLiteral("meter"), s.meter},
         {QStringLiteral("discovery"), flag(s.discovery)},
         {QStringLiteral("interval"), QString::number(s.interval)},
         {QStringLiteral("temperature_unit"), s.temperatureUnit}});
    const QFileDevice::Permissions own = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
    QSaveFile out(file);
    // Made private before the password goes in.
    const bool written =
        out.open(QIODevice::WriteOnly) &&
        out.setPermissions(
            s.password.isEmpty() ? own | QFileDevice::ReadGroup | QFileDevice::ReadOther : own) &&
        out.write(text.toUtf8()) >= 0 && out.commit();
    if (!written)
        return QStringLiteral("%1 cannot be written: %2").arg(where, out.errorString());
    return {};
}

} // namespace publish
