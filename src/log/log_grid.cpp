#include "log/log_grid.h"

#include "log/data_source.h"
#include "log/record_grid_model.h"

namespace logbook {

QString LogGrid::file() const { return m_gridSource.databaseName(); }

bool LogGrid::show(const QString &file) {
    m_gridSource.setDatabaseName(file);
    const bool read = m_gridSource.refresh();
    setLogGridColumns(m_grid);
    return read;
}

bool LogGrid::append(const std::vector<CommittedRecord> &committed) {
    QList<qint64> rowIds;
    QList<QVariantList> rows;
    for (const auto &[rowId, r] : committed) {
        rowIds.append(rowId);
        rows.append({qlonglong(r.no), r.function, r.data, r.unit, r.time});
    }
    const bool appended = m_gridSource.appendRows(rowIds, rows);
    setLogGridColumns(m_grid);
    return appended;
}

DatabaseError LogGrid::error() const { return m_gridSource.error(); }

} // namespace logbook
