#pragma once

#include <QAbstractTableModel>
#include <QList>
#include <QString>

namespace logbook {

class DataSource;

/// The record grid's model (logGrid): the data source's result with captioned, sized columns,
/// read-only. Rows are read from the data source only when a view asks for them.
class RecordGridModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    /// Header data role of a column's width in twips.
    static constexpr int WidthTwipsRole = Qt::UserRole + 1;

    explicit RecordGridModel(DataSource &source, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    /// Sets a column's caption and width in twips, by 0-based index.
    void setColumn(int index, const QString &caption, int widthTwips);
    int columnWidthTwips(int index) const;

    /// Follows the data source's current record; -1 when there is none.
    int currentRow() const;
    /// Makes a row's record the data source's current record, as a choice in the grid does.
    void setCurrentRow(int row);

  signals:
    void currentRowChanged(int row);

  private:
    struct Column {
        QString caption;
        int widthTwips = 0;
        bool set = false;
    };

    DataSource &m_source;
    QList<Column> m_columns;
};

/// Gives the grid the log's five columns: captions NO, FUN, DATA, UNIT, TIME and their widths.
void setLogGridColumns(RecordGridModel &grid);

} // namespace logbook
