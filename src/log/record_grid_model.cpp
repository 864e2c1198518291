#include "log/record_grid_model.h"

#include "log/data_source.h"
#include "log/log_database.h"

namespace logbook {

RecordGridModel::RecordGridModel(DataSource &source, QObject *parent)
    : QAbstractTableModel(parent), m_source(source) {
    connect(&source, &DataSource::aboutToReset, this, &RecordGridModel::beginResetModel);
    connect(&source, &DataSource::resetDone, this, &RecordGridModel::endResetModel);
    connect(&source, &DataSource::aboutToAppend, this,
            [this](int first, int last) { beginInsertRows({}, first, last); });
    connect(&source, &DataSource::appended, this, &RecordGridModel::endInsertRows);
    connect(&source, &DataSource::currentRowChanged, this, &RecordGridModel::currentRowChanged);
}

int RecordGridModel::rowCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : m_source.recordCount();
}

int RecordGridModel::columnCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : std::max(m_source.columnCount(), int(m_columns.size()));
}

QVariant RecordGridModel::data(const QModelIndex &index, int role) const {
    if (role != Qt::DisplayRole || !checkIndex(index, CheckIndexOption::IndexIsValid))
        return {};
    return m_source.value(index.row(), index.column()).toString();
}

QVariant RecordGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= columnCount())
        return {};
    const Column column = m_columns.value(section);
    if (role == Qt::DisplayRole)
        return column.set ? column.caption : m_source.fieldName(section);
    if (role == WidthTwipsRole && column.set)
        return column.widthTwips;
    return {};
}

void RecordGridModel::setColumn(int index, const QString &caption, int widthTwips) {
    if (index < 0)
        return;
    const int before = columnCount();
    if (index >= m_columns.size()) {
        if (index >= before)
            beginInsertColumns({}, before, index);
        m_columns.resize(index + 1);
    }
    const Column wanted{caption, widthTwips, true};
    const bool changed = m_columns[index].caption != caption ||
                         m_columns[index].widthTwips != widthTwips || !m_columns[index].set;
    m_columns[index] = wanted;
    if (index >= before)
        endInsertColumns();
    else if (changed)
        emit headerDataChanged(Qt::Horizontal, index, index);
}

int RecordGridModel::columnWidthTwips(int index) const { return m_columns.value(index).widthTwips; }

int RecordGridModel::currentRow() const { return m_source.currentRow(); }

void RecordGridModel::setCurrentRow(int row) { m_source.moveTo(row); }

void setLogGridColumns(RecordGridModel &grid) {
    for (int i = 0; i < int(kLogGridColumns.size()); ++i)
        grid.setColumn(i, kLogGridColumns[i].caption, kLogGridColumns[i].widthTwips);
}

} // namespace logbook
