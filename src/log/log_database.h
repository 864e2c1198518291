#pragma once

#include "log/database_error.h"
#include "log/record_window.h"

#include <QDateTime>
#include <QLatin1String>
#include <QString>
#include <QStringList>

#include <array>
#include <optional>
#include <vector>

namespace logbook {

/// The log files, all in the program's directory.
inline constexpr QLatin1String kLiveLogFile("db1.mdb");
inline constexpr QLatin1String kStandbyLogFile("db2.mdb");
inline constexpr QLatin1String kBackupLogFile("maxdb1.mdb");
/// The live log as it was before the last load of a saved log.
inline constexpr QLatin1String kRescueLogFile("sosdb1.mdb");

/// The log's table: b1, with the record's NO (AAA), function (BBB), value (CCC), unit (DDD),
/// time stamp (EEE) and FFFF, which the program leaves empty. Every statement on it is written
/// here, so that its name and columns are known in one place.
inline constexpr QLatin1String kLogTable("b1");
inline constexpr QLatin1String kSelectAll("SELECT * FROM b1");
inline constexpr QLatin1String kDeleteAll("DELETE FROM b1");
/// The record source of the grid's data source: the five shown columns of the log table.
inline constexpr QLatin1String kRecordSource("select AAA,BBB,CCC,DDD,EEE FROM b1");
inline constexpr QLatin1String kCountRecords("SELECT count(*) FROM b1");
/// The count and the first and last rowid, by which a log only appended to is seen at once.
inline constexpr QLatin1String kCountAndRowIds("SELECT count(*), min(rowid), max(rowid) FROM b1");
inline constexpr QLatin1String kRowIds("SELECT rowid FROM b1 ORDER BY rowid");
/// The row `offset` rows after or before a rowid (bound in that order), every column after it.
inline constexpr QLatin1String
    kRowAfter("SELECT rowid, * FROM b1 WHERE rowid > ? ORDER BY rowid LIMIT 1 OFFSET ?");
inline constexpr QLatin1String
    kRowBefore("SELECT rowid, * FROM b1 WHERE rowid < ? ORDER BY rowid DESC LIMIT 1 OFFSET ?");
/// At most a bound count of records after a rowid, with their rowids.
inline constexpr QLatin1String kRecordsAfterRow(
    "SELECT rowid, AAA, BBB, CCC, DDD, EEE FROM b1 WHERE rowid > ? ORDER BY rowid LIMIT ?");
/// The rowid of the last record of a NO and time stamp, and of one at a rowid.
inline constexpr QLatin1String
    kRowOfRecord("SELECT rowid FROM b1 WHERE AAA = ? AND EEE = ? ORDER BY rowid DESC LIMIT 1");
inline constexpr QLatin1String kRowOfRecordAt(
    "SELECT rowid FROM b1 WHERE AAA = ? AND EEE = ? AND rowid = ? ORDER BY rowid DESC LIMIT 1");
/// Rowid, NO and time stamp of every record, newest first.
inline constexpr QLatin1String
    kStampsNewestFirst("SELECT rowid, AAA, EEE FROM b1 ORDER BY rowid DESC");
inline constexpr QLatin1String kRecordsByNo("SELECT AAA, BBB, CCC, DDD, EEE FROM b1 ORDER BY AAA");
inline constexpr QLatin1String kNewestStamp("SELECT EEE FROM b1 ORDER BY rowid DESC LIMIT 1");
/// The count, and the time stamps of the first and last record by NO.
inline constexpr QLatin1String
    kCountAndEnds("SELECT count(*), (SELECT EEE FROM b1 ORDER BY AAA LIMIT 1), "
                  "(SELECT EEE FROM b1 ORDER BY AAA DESC LIMIT 1) FROM b1");

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

/// How many records a log holds, and the time stamps of its first and last by NO: enough to
/// tell whether records someone kept are the log's.
struct LogEnds {
    qint32 records = 0;
    QString firstTime;
    QString lastTime;
};
std::optional<LogEnds> logEnds(const QString &path, DatabaseError &error);

/// The records of a log file in record-number order; none, with `error` set, for a file that
/// is no log.
std::optional<std::vector<LogRecord>> readLogRecords(const QString &path, DatabaseError &error);

/// The logs of a data folder's history: every kept backup (maxdb1.mdb, maxdb1-*.mdb) and the
/// live db1.mdb that exist, in no particular order.
QStringList historyFiles(const QString &folder);
/// The name of a backup kept beside the next, in `directory`: after the time of its last
/// record, with "-2", "-3", ... for the second and later of the same second.
QString keptBackupPath(const QString &directory, const QDateTime &last, int n);
/// Whether a file name is one keptBackupPath gives.
bool isKeptBackupName(const QString &name);

/// The folder of one of several meters in a data folder: made with an empty log the first time,
/// as a new user's data folder is, so that nothing is said of it. Empty when it cannot be made.
QString meterFolder(const QString &dataFolder, const QString &name);

} // namespace logbook
