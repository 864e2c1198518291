#include "log/record_set.h"

#include "log/connection.h"
#include "log/log_database.h"

#include <QSqlError>
#include <QSqlRecord>

#include <algorithm>
#include <limits>

namespace logbook {

namespace {

constexpr qint64 kBeforeAll = std::numeric_limits<qint64>::min();
constexpr qint64 kAfterAll = std::numeric_limits<qint64>::max();

bool prepareSeek(QSqlQuery &query, const QString &sql, Connection &connection) {
    query.setForwardOnly(true);
    if (query.prepare(sql))
        return true;
    connection.setError(query.lastError());
    return false;
}

} // namespace

RecordSet::RecordSet(Connection &connection)
    : m_connection(connection), m_forward(connection.database()),
      m_backward(connection.database()) {}

bool RecordSet::open() {
    // The record set's own text runs first, as it stands: it fails on a file without the log
    // table. Moves then look rows up by rowid, which is the table's stored order, so no cursor
    // has to be stepped through every row before the one wanted.
    QSqlQuery selectAll(m_connection.database());
    selectAll.setForwardOnly(true);
    if (!selectAll.exec(kSelectAll)) {
        m_connection.setError(selectAll.lastError());
        return false;
    }
    selectAll.finish();
    if (!prepareSeek(m_forward, kRowAfter, m_connection) ||
        !prepareSeek(m_backward, kRowBefore, m_connection))
        return false;
    moveFirst();
    return !m_connection.error();
}

void RecordSet::moveFirst() {
    seek(true, kBeforeAll, 0);
    if (m_afterLast)
        m_beforeFirst = true; // an empty set is before its first and after its last record
}

void RecordSet::moveLast() {
    seek(false, kAfterAll, 0);
    if (m_beforeFirst)
        m_afterLast = true;
}

void RecordSet::movePrevious() { move(-1); }

void RecordSet::move(qint64 count) {
    if (count == 0 || (m_beforeFirst && m_afterLast))
        return;
    if (count > 0) {
        if (m_afterLast)
            return;
        seek(true, m_beforeFirst ? kBeforeAll : m_rowId, count - 1);
    } else {
        if (m_beforeFirst)
            return;
        seek(false, m_afterLast ? kAfterAll : m_rowId, -(count + 1));
    }
}

void RecordSet::seek(bool forward, qint64 fromRowId, qint64 skip) {
    QSqlQuery &query = forward ? m_forward : m_backward;
    query.bindValue(0, fromRowId);
    query.bindValue(1, skip);
    m_values.clear();
    if (query.exec() && query.next()) {
        const int columns = query.record().count();
        for (int i = 0; i < columns; ++i)
            m_values.append(query.value(i));
        m_rowId = m_values.front().toLongLong();
    } else if (query.lastError().isValid()) {
        m_connection.setError(query.lastError());
    }
    query.finish();
    const bool found = !m_values.isEmpty();
    m_beforeFirst = !found && !forward;
    m_afterLast = !found && forward;
}

qint32 RecordSet::intValue(int column) const {
    const qint64 value = m_values.value(column + 1).toLongLong();
    return qint32(std::clamp<qint64>(value, std::numeric_limits<qint32>::min(),
                                     std::numeric_limits<qint32>::max()));
}

QString RecordSet::textValue(int column) const { return m_values.value(column + 1).toString(); }

} // namespace logbook
