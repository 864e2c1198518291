#pragma once

#include <QString>

class QSqlError;

namespace logbook {

/// What went wrong with a log file, in words for the user.
struct DatabaseError {
    enum class Kind {
        None,
        Missing,        ///< no such file
        NotLogDatabase, ///< not a database, or no log table with the expected columns
        Locked,         ///< another connection holds a lock longer than we wait
        Rejected,       ///< the file is fine but refuses this one statement (a constraint)
        Failed,         ///< anything else: disk full, read-only, I/O error, ...
    };

    Kind kind = Kind::None;
    QString file;
    QString reason;

    explicit operator bool() const { return kind != Kind::None; }

    /// Classifies an error of the SQLite driver that happened on `file`.
    static DatabaseError fromSql(const QSqlError &error, const QString &file);
};

} // namespace logbook
