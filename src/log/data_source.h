#pragma once

#include "log/connection.h"
#include "log/database_error.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <deque>

namespace logbook {

/// The grid's data source: bound to a log file and a record source, it keeps its own
/// connection to the file while bound. It knows the position of every row of its result but
/// reads row contents only when asked, a block at a time, and never leaves a read open between
/// calls, so the log's writers are never blocked by it.
class DataSource : public QObject {
    Q_OBJECT
  public:
    explicit DataSource(QObject *parent = nullptr);

    /// Binds to another file; the result is read at the next refresh.
    void setDatabaseName(const QString &path);
    const QString &databaseName() const { return m_path; }
    /// A selection of columns from the log table, with no condition or ordering of its own;
    /// its rows come in the table's stored order.
    void setRecordSource(const QString &query);

    /// Opens the file again and runs the record source again; the first record becomes
    /// current. Fails, leaving an empty result, on a file that is not a log database.
    bool refresh();
    /// Rows the caller itself appended at the table's end, by their rowids and their values in
    /// the record source's columns: the result grows by them without reading the file. Rows
    /// the result holds already are passed by. Unbound from a readable file, a full refresh.
    bool appendRows(const QList<qint64> &rowIds, const QList<QVariantList> &rows);

    bool isEmpty() const { return m_rowIds.isEmpty(); }
    /// Counted over the whole result, not only the rows read so far.
    int recordCount() const { return int(m_rowIds.size()); }
    int columnCount() const { return int(m_fieldNames.size()); }
    QString fieldName(int column) const { return m_fieldNames.value(column); }

    /// The current record's row, or -1 when there is none (an empty result or a move past
    /// either end).
    int currentRow() const { return m_current; }
    void moveFirst();
    /// Moves the current record forward by `count` rows.
    void moveNext(int count);
    /// Makes a row of the result current; a row outside it leaves the current record.
    void moveTo(int row);
    /// AAA, the first column, of the current record.
    qint32 currentNo() const;

    /// One field of the result; an invalid value outside the result or when the file cannot be
    /// read at the moment.
    QVariant value(int row, int column) const;

    const DatabaseError &error() const { return m_error; }

  signals:
    void aboutToReset();
    void resetDone();
    void aboutToAppend(int firstRow, int lastRow);
    void appended();
    void currentRowChanged(int row);

  private:
    struct Block {
        int firstRow = 0;
        QList<QVariantList> rows;
    };

    bool readResult();
    /// Keeps an appended row among the rows read, where it extends them.
    void keepAppended(int row, const QVariantList &values);
    bool readRowIds();
    void fail();
    void setCurrent(int row);
    const Block *block(int row) const;

    Connection m_connection;
    QString m_path;
    QString m_recordSource;
    QStringList m_fieldNames;
    QList<qint64> m_rowIds; ///< rowid of every row of the result, in order
    int m_current = -1;
    DatabaseError m_error;
    mutable std::deque<Block> m_blocks; ///< recently read rows, newest last
};

} // namespace logbook
