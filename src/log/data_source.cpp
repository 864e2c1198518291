#include "log/data_source.h"

#include "log/log_database.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

#include <numeric>

namespace logbook {

namespace {

constexpr int kBlockRows = 64;
constexpr std::size_t kCachedBlocks = 16;

} // namespace

DataSource::DataSource(QObject *parent) : QObject(parent) {}

void DataSource::setDatabaseName(const QString &path) {
    m_path = path;
    m_connection.close();
}

void DataSource::setRecordSource(const QString &query) { m_recordSource = query; }

bool DataSource::refresh() {
    emit aboutToReset();
    m_blocks.clear();
    m_connection.close();
    const bool ok = m_connection.open(m_path) && readResult() && readRowIds();
    if (ok)
        m_error = {};
    else
        fail();
    emit resetDone();
    setCurrent(isEmpty() ? -1 : 0);
    return ok;
}

bool DataSource::refreshAppended() {
    if (!m_connection.isOpen() || m_rowIds.isEmpty())
        return refresh();
    // Only appends keep the rows read so far in place: the first row and the last one known
    // must still be where they were.
    QSqlQuery query(m_connection.database());
    query.setForwardOnly(true);
    const qint64 first = m_rowIds.front();
    const qint64 last = m_rowIds.back();
    // The last row known and those after it, each with the table's first row: one query.
    if (!query.exec(QStringLiteral("SELECT rowid, (SELECT min(rowid) FROM %1) FROM %1 "
                                   "WHERE rowid >= %2 ORDER BY rowid")
                        .arg(kLogTable)
                        .arg(last))) {
        m_error = DatabaseError::fromSql(query.lastError(), m_path);
        return false;
    }
    if (!query.next() || query.value(0).toLongLong() != last ||
        query.value(1).toLongLong() != first) {
        if (query.lastError().isValid()) {
            m_error = DatabaseError::fromSql(query.lastError(), m_path);
            return false;
        }
        return refresh();
    }
    QList<qint64> added;
    while (query.next())
        added.append(query.value(0).toLongLong());
    if (query.lastError().isValid()) {
        m_error = DatabaseError::fromSql(query.lastError(), m_path);
        return false;
    }
    m_error = {};
    if (!added.isEmpty()) {
        const int firstNew = recordCount();
        emit aboutToAppend(firstNew, firstNew + int(added.size()) - 1);
        // The block holding the old last row may have been read short.
        std::erase_if(m_blocks, [&](const Block &b) { return b.firstRow + kBlockRows > firstNew; });
        m_rowIds.append(added);
        emit appended();
    }
    setCurrent(0);
    return true;
}

bool DataSource::readResult() {
    // The record source runs as it stands: this is what fails on a file that is not a log.
    QSqlQuery query(m_connection.database());
    query.setForwardOnly(true);
    if (!query.exec(m_recordSource)) {
        m_connection.setError(query.lastError());
        return false;
    }
    const QSqlRecord record = query.record();
    m_fieldNames.clear();
    for (int i = 0; i < record.count(); ++i)
        m_fieldNames.append(record.fieldName(i));
    return true;
}

bool DataSource::readRowIds() {
    QSqlQuery query(m_connection.database());
    query.setForwardOnly(true);
    if (!query.exec(
            QStringLiteral("SELECT count(*), min(rowid), max(rowid) FROM %1").arg(kLogTable)) ||
        !query.next()) {
        m_connection.setError(query.lastError());
        return false;
    }
    const qint64 count = query.value(0).toLongLong();
    const qint64 first = query.value(1).toLongLong();
    const qint64 last = query.value(2).toLongLong();
    query.finish();
    m_rowIds.clear();
    if (count == 0)
        return true;
    // A log that was only ever appended to numbers its rows without gaps: no need to read them.
    if (last - first + 1 == count) {
        m_rowIds.resize(count);
        std::iota(m_rowIds.begin(), m_rowIds.end(), first);
        return true;
    }
    m_rowIds.reserve(count);
    if (!query.exec(QStringLiteral("SELECT rowid FROM %1 ORDER BY rowid").arg(kLogTable))) {
        m_connection.setError(query.lastError());
        return false;
    }
    while (query.next())
        m_rowIds.append(query.value(0).toLongLong());
    return true;
}

void DataSource::fail() {
    m_error = m_connection.error();
    m_connection.close();
    m_rowIds.clear();
    m_fieldNames.clear();
}

void DataSource::moveFirst() { setCurrent(isEmpty() ? -1 : 0); }

void DataSource::moveNext(int count) {
    if (m_current < 0)
        return;
    const qint64 row = qint64(m_current) + count;
    setCurrent(row >= 0 && row < recordCount() ? int(row) : -1);
}

void DataSource::moveTo(int row) {
    if (row >= 0 && row < recordCount())
        setCurrent(row);
}

qint32 DataSource::currentNo() const { return value(m_current, 0).toInt(); }

void DataSource::setCurrent(int row) {
    if (row == m_current)
        return;
    m_current = row;
    emit currentRowChanged(row);
}

QVariant DataSource::value(int row, int column) const {
    const Block *found = block(row);
    if (!found || row - found->firstRow >= found->rows.size())
        return {};
    return found->rows[row - found->firstRow].value(column);
}

const DataSource::Block *DataSource::block(int row) const {
    if (row < 0 || row >= recordCount() || !m_connection.isOpen())
        return nullptr;
    const int firstRow = row - row % kBlockRows;
    for (const Block &b : m_blocks) {
        if (b.firstRow == firstRow)
            return &b;
    }
    const int lastRow = std::min(firstRow + kBlockRows, recordCount()) - 1;
    QSqlQuery query(m_connection.database());
    query.setForwardOnly(true);
    if (!query.exec(m_recordSource + QStringLiteral(" WHERE rowid BETWEEN %1 AND %2 ORDER BY rowid")
                                         .arg(m_rowIds[firstRow])
                                         .arg(m_rowIds[lastRow])))
        return nullptr;
    Block read{firstRow, {}};
    const int columns = query.record().count();
    while (query.next()) {
        QVariantList row;
        for (int i = 0; i < columns; ++i)
            row.append(query.value(i));
        read.rows.append(row);
    }
    if (m_blocks.size() == kCachedBlocks)
        m_blocks.pop_front();
    m_blocks.push_back(std::move(read));
    return &m_blocks.back();
}

} // namespace logbook
