#include "core/meter_settings.h"

#include "core/settings_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <map>

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

QString loggerService(const QString &meterName) {
    return meterName.isEmpty() ? QStringLiteral("envmeter-logger")
                               : QStringLiteral("envmeter-logger@") + meterName;
}

QString meterSettingsFile(const QString &settingsFile, const QString &name) {
    return QFileInfo(settingsFile).dir().filePath(name + QStringLiteral(".conf"));
}

QStringList meterNames(const QString &settingsFile) {
    QStringList names;
    const QDir folder = QFileInfo(settingsFile).dir();
    for (const QFileInfo &file :
         folder.entryInfoList({QStringLiteral("*.conf")}, QDir::Files, QDir::Name)) {
        if (file.fileName() != QFileInfo(settingsFile).fileName() &&
            meterNameFault(file.completeBaseName()).isEmpty())
            names.append(file.completeBaseName());
    }
    return names;
}

QStringList knownMeters(const QString &settingsFile, const QString &dataFolder,
                        const QString &logFile) {
    QStringList names = meterNames(settingsFile);
    const QDir data(dataFolder);
    for (const QString &folder : data.entryList(QDir::Dirs | QDir::NoDotAndDotDot))
        if (meterNameFault(folder).isEmpty() && QFileInfo(data.filePath(folder)).isDir() &&
            QFileInfo::exists(QDir(data.filePath(folder)).filePath(logFile)))
            names.append(folder);
    names.sort();
    names.removeDuplicates();
    return names;
}

QString unknownMeterFault(const QString &name, const QString &settingsFile,
                          const QString &dataFolder, const QString &logFile) {
    const QString folder = QDir(dataFolder).filePath(name);
    const QString file = meterSettingsFile(settingsFile, name);
    if (QFileInfo(folder).isDir() || QFileInfo::exists(file))
        return {};
    const QStringList known = knownMeters(settingsFile, dataFolder, logFile);
    return QStringLiteral("no meter %1 is known here: neither its folder %2 nor its settings "
                          "%3 exists (%4)")
        .arg(name, QDir::toNativeSeparators(folder), QDir::toNativeSeparators(file),
             known.isEmpty()
                 ? QStringLiteral("no meter is known yet")
                 : QStringLiteral("the meters known: %1").arg(known.join(QStringLiteral(", "))));
}

MeterLine readMeterLine(const QString &file) {
    MeterLine line;
    const SettingsFile read = loadSettingsFile(file);
    line.found = read.found;
    if (!read.failure.isEmpty())
        line.mistakes.append(read.failure);
    if (!read.found || !read.failure.isEmpty())
        return line;
    const QString where = QDir::toNativeSeparators(file);
    // The [mqtt] section and the file's form are checked with the publishing settings.
    const SettingsText parsed = parseSettings(read.text);
    std::map<int, QString> mistakes; // by line, as the file is read
    const auto mistake = [&mistakes](int at, const QString &what) { mistakes.emplace(at, what); };
    for (const SettingsSection &section : parsed.sections)
        if (section.name != kMeterSection &&
            section.name.compare(kMeterSection, Qt::CaseInsensitive) == 0)
            mistake(section.line, QStringLiteral("the section is written [%1], not [%2]")
                                      .arg(kMeterSection, section.name));
    int deviceLine = 0;
    std::map<QString, int> seen;
    for (const SettingsEntry &entry : parsed.entries) {
        const bool lineKey = entry.key == u"device" || entry.key == u"port";
        if (entry.section.isEmpty() && lineKey) {
            mistake(entry.line, QStringLiteral("%1= stands before any section: it belongs under "
                                               "[%2]")
                                    .arg(entry.key, kMeterSection));
            continue;
        }
        if (entry.section != kMeterSection)
            continue;
        if (!lineKey) {
            mistake(entry.line,
                    QStringLiteral("unknown key \"%1\" (the keys of [%2] are device, port)")
                        .arg(entry.key, kMeterSection));
        } else if (const auto [first, isNew] = seen.emplace(entry.key, entry.line); !isNew) {
            mistake(entry.line, QStringLiteral("%1 is set again (first on line %2)")
                                    .arg(entry.key)
                                    .arg(first->second));
        } else if (entry.key == u"device" && !entry.value.isEmpty()) {
            line.device = entry.value;
            deviceLine = entry.line;
        } else if (entry.key == u"port" && (entry.value == u"1" || entry.value == u"2")) {
            line.port = entry.value.toInt();
        } else {
            mistake(entry.line, QStringLiteral("%1=%2: %3")
                                        .arg(entry.key, entry.value,
                                             entry.key == u"port" ? QStringLiteral("write 1 or 2")
                                                                  : QStringLiteral("a device is a "
                                                                                   "path")) +
                                    commentHint(entry.value));
        }
    }
    if (deviceLine > 0 && line.port > 0)
        mistake(deviceLine, QStringLiteral("device= and port= both name the line: one of them"));
    for (const auto &[at, what] : mistakes)
        line.mistakes.append(QStringLiteral("%1:%2: %3").arg(where).arg(at).arg(what));
    return line;
}

} // namespace core
