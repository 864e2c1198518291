#pragma once

#include "log/database_error.h"

#include <QLatin1String>
#include <QString>

#include <array>
#include <optional>

namespace logbook {

/// The log files, all in the program's directory.
inline constexpr QLatin1String kLiveLogFile("db1.mdb");
inline constexpr QLatin1String kStandbyLogFile("db2.mdb");
inline constexpr QLatin1String kBackupLogFile("maxdb1.mdb");
/// The live log as it was before the last load of a saved log.
inline constexpr QLatin1String kRescueLogFile("sosdb1.mdb");

inline constexpr QLatin1String kLogTable("b1");
inline constexpr QLatin1String kSelectAll("SELECT * FROM b1");
inline constexpr QLatin1String kDeleteAll("DELETE FROM b1");
/// The record source of the grid's data source: the five shown columns of the log table.
inline constexpr QLatin1String kRecordSource("select AAA,BBB,CCC,DDD,EEE FROM b1");

/// The log holds at most this many records; the record that reaches it triggers the backup.
inline constexpr qint32 kRecordLimit = 100000;

struct GridColumn {
    QLatin1String caption;
    int widthTwips;
};

/// The grid's columns over the record source, by index.
inline constexpr std::array<GridColumn, 5> kLogGridColumns{{
    {QLatin1String("NO"), 550},
    {QLatin1String("FUN"), 600},
    {QLatin1String("DATA"), 800},
    {QLatin1String("UNIT"), 700},
    {QLatin1String("TIME"), 900},
}};

/// The INSERT statement that logs one reading, exactly as it is executed. The texts are
/// joined as they stand: none of them can contain a quote.
QString insertStatement(qint32 no, const QString &fun, const QString &data, const QString &unit,
                        const QString &timeStamp);

/// Creates an empty log database (table b1 with its six columns) at `path`. Never replaces
/// an existing file; a partly written file is never left behind.
DatabaseError createLogDatabase(const QString &path);

/// The records of the log at `path` as the grid's record source reads them, or nothing, with
/// `error` saying why, when the file is no log.
std::optional<qint32> countLogRecords(const QString &path, DatabaseError &error);

/// The folder of one of several meters in a data folder: made with an empty log the first time,
/// as a new user's data folder is, so that nothing is said of it. Empty when it cannot be made.
QString meterFolder(const QString &dataFolder, const QString &name);

} // namespace logbook
