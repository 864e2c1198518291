#include "core/meter_settings.h"

#include "core/settings_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace core {

QString meterNameFault(const QString &name) {
    if (name.isEmpty())
        return QStringLiteral("a meter needs a name");
    for (const QChar c : name) {
        const bool allowed = (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') ||
                             (c >= u'0' && c <= u'9') || c == u'-' || c == u'_';
        if (!allowed)
            return QStringLiteral("a meter's name is of letters, digits, - and _ (not \"%1\")")
                .arg(c);
    }
    return {};
}

QString meterSettingsFile(const QString &settingsFile, const QString &name) {
    return QFileInfo(settingsFile).dir().filePath(name + QStringLiteral(".conf"));
}

MeterLine readMeterLine(const QString &file) {
    MeterLine line;
    QFile in(file);
    if (!in.exists())
        return line;
    const QString where = QDir::toNativeSeparators(file);
    if (!in.open(QIODevice::ReadOnly)) {
        line.mistakes.append(QStringLiteral("%1 cannot be read: %2").arg(where, in.errorString()));
        return line;
    }
    // The [mqtt] section and the file's form are checked with the publishing settings.
    const SettingsText parsed = parseSettings(QString::fromUtf8(in.readAll()));
    const auto mistake = [&](int at, const QString &what) {
        line.mistakes.append(QStringLiteral("%1:%2: %3").arg(where).arg(at).arg(what));
    };
    int deviceLine = 0;
    for (const SettingsEntry &entry : parsed.entries) {
        if (entry.section != u"meter")
            continue;
        if (entry.key == u"device" && !entry.value.isEmpty()) {
            line.device = entry.value;
            deviceLine = entry.line;
        } else if (entry.key == u"port" && (entry.value == u"1" || entry.value == u"2")) {
            line.port = entry.value.toInt();
        } else if (entry.key == u"device" || entry.key == u"port") {
            mistake(entry.line, QStringLiteral("%1=%2: %3")
                                    .arg(entry.key, entry.value,
                                         entry.key == u"port" ? QStringLiteral("write 1 or 2")
                                                              : QStringLiteral("a device is a "
                                                                               "path")));
        } else {
            mistake(entry.line,
                    QStringLiteral("unknown key \"%1\" (the keys of [meter] are device, port)")
                        .arg(entry.key));
        }
    }
    if (deviceLine > 0 && line.port > 0)
        mistake(deviceLine, QStringLiteral("device= and port= both name the line: one of them"));
    return line;
}

} // namespace core
