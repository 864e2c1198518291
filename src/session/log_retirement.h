#pragma once

#include <QString>
#include <QStringList>

namespace session {

/// Retires the data folder's kept backups (the maxdb1-TIME.mdb the program names them) whose
/// last reading is older than `keepDays` days at the instant `now`: each one's minute summary
/// is written to the folder's summary store (logbook::keepRetiredSummary) and read back before
/// the file is removed, and what the statistics' `cache` keeps of it goes with it. The live and
/// standby logs, the latest backup (maxdb1.mdb), saved logs and every other file are never
/// touched. A line for each backup retired, or kept because it could not be.
QStringList retireOldBackups(const QString &folder, int keepDays, qint64 now, const QString &cache);

} // namespace session
