#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace core {

/// The section of envmeter.conf, and of a meter's own NAME.conf, on the logs a logger keeps.
inline const QString kLogSection = QStringLiteral("log");

/// What [log] says.
struct LogSettings {
    /// Kept backups whose last reading is older than this many days are retired (their
    /// summaries kept beside the logs); none set, every log is kept.
    std::optional<int> keepDays;
    QStringList mistakes; ///< each naming its file and line
};

/// [log] of the settings file, and of the meter's own file (`meterFile`, may be empty) over it.
LogSettings readLogSettings(const QString &file, const QString &meterFile);

} // namespace core
