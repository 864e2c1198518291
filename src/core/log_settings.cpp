#include "core/log_settings.h"

#include "core/settings_file.h"

#include <QDir>

namespace core {

namespace {

void readSection(const QString &file, LogSettings &settings) {
    for (const SettingsEntry &entry : sectionEntries(file, kLogSection, settings.mistakes)) {
        const QString where =
            QStringLiteral("%1:%2: ").arg(QDir::toNativeSeparators(file)).arg(entry.line);
        if (entry.key != u"keep_days") {
            settings.mistakes.append(
                where + QStringLiteral("unknown key \"%1\" (the key of [%2] is keep_days)")
                            .arg(entry.key, kLogSection));
            continue;
        }
        bool whole = false;
        const int days = entry.value.toInt(&whole);
        if (entry.value.isEmpty())
            settings.keepDays.reset();
        else if (whole && days >= 1)
            settings.keepDays = days;
        else
            settings.mistakes.append(where + QStringLiteral("keep_days=%1: write a whole number "
                                                            "of days, 1 or more, or nothing to "
                                                            "keep every log")
                                                 .arg(entry.value));
    }
}

} // namespace

LogSettings readLogSettings(const QString &file, const QString &meterFile) {
    LogSettings settings;
    readSection(file, settings);
    readSection(meterFile, settings);
    return settings;
}

} // namespace core
