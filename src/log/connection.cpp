#include "log/connection.h"

#include "log/log_database.h"

#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QUrl>

#include <atomic>

namespace logbook {

namespace {

QString uniqueConnectionName() {
    static std::atomic<quint64> counter{0};
    return QStringLiteral("envmeter-log-%1").arg(++counter);
}

} // namespace

Connection::Connection(int busyTimeoutMs)
    : m_name(uniqueConnectionName()), m_busyTimeoutMs(busyTimeoutMs) {}

Connection::~Connection() { close(); }

bool Connection::open(const QString &path) {
    close();
    m_path = path;
    m_error = {};
    // Never opened unless a regular file: opening a pipe or a device waits for a writer.
    if (const QFileInfo file(path); !file.isFile()) {
        m_error = file.exists() ? DatabaseError{DatabaseError::Kind::NotLogDatabase, path,
                                                QStringLiteral("it is no file but a folder, a "
                                                               "pipe or a device")}
                                : DatabaseError{DatabaseError::Kind::Missing, path,
                                                QStringLiteral("the file does not exist")};
        return false;
    }
    m_db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
    // mode=rw opens an existing file only: SQLite would otherwise create a missing one.
    m_db.setConnectOptions(
        QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1;QSQLITE_OPEN_URI").arg(m_busyTimeoutMs));
    m_db.setDatabaseName(QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded) +
                         QStringLiteral("?mode=rw"));
    if (!m_db.open()) {
        setError(m_db.lastError());
        close();
        return false;
    }
    // SQLite opens any file; setting the journal mode reads its header, the first thing that
    // fails on one that is not a database.
    //
    // Journal and sync settings. With a rollback journal every committed record is in the
    // database file itself once its statement returns, so a byte copy of the file made while no
    // connection is open is complete; a write-ahead log would keep recent records in a separate
    // -wal file that a copy of the database file alone would miss. The journal is truncated
    // rather than deleted to commit, and synchronous=FULL syncs the journal, the database and
    // the truncated journal: a crash or power cut after the INSERT returned cannot bring the
    // journal back and roll the record away. That is one sync fewer than deleting the journal
    // and syncing its directory, and no file made and removed for every record.
    if (!execute(QStringLiteral("PRAGMA synchronous=FULL")) ||
        !execute(QStringLiteral("PRAGMA journal_mode=TRUNCATE"))) {
        const DatabaseError failure = m_error;
        close();
        m_error = failure;
        return false;
    }
    return true;
}

bool Connection::execute(const QString &sql) {
    QSqlQuery query(m_db);
    if (query.exec(sql))
        return true;
    setError(query.lastError());
    return false;
}

std::optional<qint64> Connection::insert(const QString &sql) {
    QSqlQuery query(m_db);
    if (!query.exec(sql)) {
        setError(query.lastError());
        return std::nullopt;
    }
    return query.lastInsertId().toLongLong();
}

RecordSet *Connection::openRecordSet() {
    m_recordSet.reset(new RecordSet(*this));
    if (!m_recordSet->open()) {
        m_recordSet.reset();
        return nullptr;
    }
    return m_recordSet.get();
}

void Connection::close() {
    m_recordSet.reset();
    if (!m_db.isValid())
        return;
    m_db.close();
    m_db = QSqlDatabase();
    QSqlDatabase::removeDatabase(m_name);
}

void Connection::setError(const QSqlError &error) {
    m_error = DatabaseError::fromSql(error, m_path);
}

} // namespace logbook
