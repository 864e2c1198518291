#include "log/database_error.h"

#include <QSqlError>

namespace logbook {

namespace {

// Primary SQLite result codes; the driver reports them as the native error code.
enum SqliteCode {
    Error = 1, // our statements are fixed, so this means the file lacks the log table or columns
    Busy = 5,
    Locked = 6,
    Corrupt = 11,
    Constraint = 19,
    Mismatch = 20,
    NotADatabase = 26,
};

} // namespace

DatabaseError DatabaseError::fromSql(const QSqlError &error, const QString &file) {
    DatabaseError result{Kind::Failed, file, error.databaseText()};
    if (result.reason.isEmpty())
        result.reason = error.text();
    bool ok = false;
    const int code = error.nativeErrorCode().toInt(&ok) &
                     0xff; // extended codes keep the primary in the low byte
    if (!ok)
        return result;
    switch (code) {
    case Busy:
    case Locked:
        result.kind = Kind::Locked;
        break;
    case Error:
    case NotADatabase:
    case Corrupt:
        result.kind = Kind::NotLogDatabase;
        break;
    case Constraint:
    case Mismatch:
        result.kind = Kind::Rejected;
        break;
    default:
        break;
    }
    return result;
}

} // namespace logbook
