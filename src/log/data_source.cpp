#include "log/data_source.h"

#include "log/log_database.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

#include <algorithm>
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

bool DataSource::appendRows(const QList<qint64> &rowIds, const QList<QVariantList> &rows) {
    if (!m_connection.isOpen())
        return refresh();
    qsizetype skip = 0;
    while (skip < rowIds.size() && !m_rowIds.isEmpty() && rowIds[skip] <= m_rowIds.back())
        ++skip;
    if (skip < rowIds.size()) {
        const int firstNew = recordCount();
        emit aboutToAppend(firstNew, firstNew + int(rowIds.size() - skip) - 1);
        for (qsizetype i = skip; i < rowIds.size(); ++i)
            keepAppended(firstNew + int(i - skip), rows[i]);
        m_rowIds.append(rowIds.mid(skip));
        emit appended();
    }
    m_error = {};
    setCurrent(0);
    return true;
}

void DataSource::keepAppended(int row, const QVariantList &values) {
    // The block that ends just before the row takes it; a row at a block's start begins one.
    // Any other block the row falls in was read when the table ended earlier: it is read again.
    const int firstRow = row - row % kBlockRows;
    const auto found = std::find_if(m_blocks.begin(), m_blocks.end(),
                                    [&](const Block &b) { return b.firstRow == firstRow; });
    if (found != m_blocks.end() && found->firstRow + found->rows.size() == row) {
        found->rows.append(values);
        return;
    }
    if (found != m_blocks.end())
        m_blocks.erase(found);
    if (row != firstRow)
        return;
    if (m_blocks.size() == kCachedBlocks)
        m_blocks.pop_front();
    m_blocks.push_back({firstRow, {values}});
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
    if (!query.exec(kCountAndRowIds) || !query.next()) {
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
    if (!query.exec(kRowIds)) {
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
