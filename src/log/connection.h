#pragma once

#include "log/database_error.h"
#include "log/record_set.h"

#include <QLatin1String>
#include <QSqlDatabase>
#include <QString>

#include <memory>
#include <optional>

namespace logbook {

/// A connection to one log database file, opened for one operation and closed again.
/// Each connection registers under a name of its own and removes it when closed.
/// The transaction statements, for this class and for connections of their own (a copy's read
/// lock).
inline constexpr QLatin1String kBeginWriting("BEGIN IMMEDIATE");
inline constexpr QLatin1String kBeginReading("BEGIN");
inline constexpr QLatin1String kCommit("COMMIT");
inline constexpr QLatin1String kRollback("ROLLBACK");
/// A read of a database's schema: it fails on a file that is no database, and holds a read lock
/// inside a transaction.
inline constexpr QLatin1String kReadSchema("SELECT count(*) FROM sqlite_master");

class Connection {
  public:
    /// Waiting for another program's lock stays short, so the window never freezes on it.
    static constexpr int kDefaultBusyTimeoutMs = 200;

    explicit Connection(int busyTimeoutMs = kDefaultBusyTimeoutMs);
    ~Connection();
    Connection(const Connection &) = delete;
    Connection &operator=(const Connection &) = delete;

    /// Opens an existing database file for reading and writing. Fails, without creating
    /// anything, when the file is missing or is not a database.
    bool open(const QString &path);
    bool isOpen() const { return m_db.isOpen(); }

    /// Executes a statement that returns no rows, exactly as written.
    bool execute(const QString &sql);
    /// A transaction that writes: other writers wait for its commit or rollback.
    bool beginWriting() { return execute(kBeginWriting); }
    bool commit() { return execute(kCommit); }
    void rollback() { execute(kRollback); }
    /// Executes an INSERT exactly as written; the new row's rowid, or nothing on failure.
    std::optional<qint64> insert(const QString &sql);

    /// Opens the record set "SELECT * FROM b1", current on its first record. The record set
    /// belongs to the connection and is valid until the connection closes; nullptr on failure.
    RecordSet *openRecordSet();

    void close();

    const QString &path() const { return m_path; }
    const DatabaseError &error() const { return m_error; }

    /// For the log's readers: the open database, and recording a failure of one of its queries.
    const QSqlDatabase &database() const { return m_db; }
    void setError(const QSqlError &error);

  private:
    QString m_name;
    int m_busyTimeoutMs;
    QSqlDatabase m_db;
    QString m_path;
    DatabaseError m_error;
    std::unique_ptr<RecordSet> m_recordSet;
};

} // namespace logbook
