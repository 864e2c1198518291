#include "publish/publish_settings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <QSysInfo>

namespace publish {

namespace {

constexpr int kPlainPort = 1883;
constexpr int kTlsPort = 8883;

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

QString settingsFile() {
    return QDir(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation))
        .filePath(QStringLiteral("envmeter/envmeter.conf"));
}

PublishSettings readPublishSettings(const QString &file) {
    PublishSettings s;
    if (!QFileInfo::exists(file))
        return s;
    QSettings ini(file, QSettings::IniFormat);
    ini.beginGroup(QStringLiteral("mqtt"));
    const auto text = [&ini](const char *key, const QString &fallback) {
        return ini.value(QLatin1String(key), fallback).toString().trimmed();
    };
    const auto flag = [&](const char *key, bool fallback) {
        const QString value =
            text(key, fallback ? QStringLiteral("true") : QStringLiteral("false"));
        return value.compare(u"true", Qt::CaseInsensitive) == 0 || value == u"1" ||
               value.compare(u"yes", Qt::CaseInsensitive) == 0;
    };
    s.enabled = flag("enabled", s.enabled);
    s.host = text("host", s.host);
    s.port = text("port", QString()).toInt();
    s.tls = flag("tls", s.tls);
    s.caFile = text("ca_file", s.caFile);
    s.username = text("username", s.username);
    s.password = ini.value(QStringLiteral("password")).toString();
    s.prefix = text("prefix", s.prefix);
    s.meter = text("meter", s.meter);
    s.discovery = flag("discovery", s.discovery);
    return s;
}

QString writePublishSettings(const QString &file, const PublishSettings &s) {
    if (!QDir().mkpath(QFileInfo(file).absolutePath()))
        return QStringLiteral("the folder of %1 cannot be made")
            .arg(QDir::toNativeSeparators(file));
    // Made private before the password goes in.
    QFile touched(file);
    if (!touched.open(QIODevice::Append))
        return QStringLiteral("%1 cannot be written: %2")
            .arg(QDir::toNativeSeparators(file), touched.errorString());
    touched.close();
    const QFileDevice::Permissions own = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
    const QFileDevice::Permissions mode =
        s.password.isEmpty() ? own | QFileDevice::ReadGroup | QFileDevice::ReadOther : own;
    touched.setPermissions(mode);
    QSettings ini(file, QSettings::IniFormat);
    ini.beginGroup(QStringLiteral("mqtt"));
    const auto flag = [](bool on) { return on ? QStringLiteral("true") : QStringLiteral("false"); };
    ini.setValue(QStringLiteral("enabled"), flag(s.enabled));
    ini.setValue(QStringLiteral("host"), s.host);
    ini.setValue(QStringLiteral("port"), s.brokerPort());
    ini.setValue(QStringLiteral("tls"), flag(s.tls));
    ini.setValue(QStringLiteral("ca_file"), s.caFile);
    ini.setValue(QStringLiteral("username"), s.username);
    ini.setValue(QStringLiteral("password"), s.password);
    ini.setValue(QStringLiteral("prefix"), s.prefix);
    ini.setValue(QStringLiteral("meter"), s.meter);
    ini.setValue(QStringLiteral("discovery"), flag(s.discovery));
    ini.endGroup();
    ini.sync();
    QFile::setPermissions(file, mode);
    if (ini.status() != QSettings::NoError)
        return QStringLiteral("%1 cannot be written").arg(QDir::toNativeSeparators(file));
    return {};
}

} // namespace publish
