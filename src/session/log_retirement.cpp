#include "session/log_retirement.h"

#include "core/time_stamp.h"
#include "core/zone_clock.h"
#include "log/log_database.h"
#include "log/summary_store.h"
#include "statistics/log_history.h"
#include "statistics/minute_summary.h"

#include <QDir>
#include <QFile>

namespace session {

QStringList retireOldBackups(const QString &folder, int keepDays, qint64 now,
                             const QString &cache) {
    QStringList said;
    const QDir dir(folder);
    const QString store = QDir::toNativeSeparators(dir.filePath(logbook::kSummaryStoreFile));
    const qint64 oldest = now - qint64(keepDays) * 86400;
    const core::ZoneClock zone;
    for (const QString &name :
         dir.entryList({QStringLiteral("maxdb1-*.mdb")}, QDir::Files, QDir::Name)) {
        if (!logbook::isKeptBackupName(name))
            continue;
        const QString file = dir.filePath(name);
        const QString shown = QDir::toNativeSeparators(file);
        logbook::DatabaseError error;
        const std::optional<stats::LogSummary> summary = stats::summaryOf(file, cache, error);
        if (!summary) {
            said.append(QStringLiteral("%1 is kept: it cannot be read as a log (%2), so it "
                                       "cannot be summarised.")
                            .arg(shown, error.reason));
            continue;
        }
        if (!summary->outline.firstClock || summary->outline.lastTaken >= oldest)
            continue;
        if (const logbook::DatabaseError failed =
                logbook::keepRetiredSummary(folder, name, stats::packedSummary(*summary))) {
            said.append(QStringLiteral("%1 is kept: its summary cannot be written to %2 (%3).")
                            .arg(shown, store, failed.reason));
            continue;
        }
        stats::dropFromCache(file, cache);
        if (!QFile::remove(file)) {
            said.append(QStringLiteral("%1 is kept: it cannot be removed; its summary is in %2.")
                            .arg(shown, store));
            continue;
        }
        said.append(QStringLiteral("Retired %1: its last reading, %2, is more than %3 days old; "
                                   "its minute summary is kept in %4.")
                        .arg(shown, core::isoTimeWithOffset(zone.at(summary->outline.lastTaken)))
                        .arg(keepDays)
                        .arg(store));
    }
    return said;
}

} // namespace session
