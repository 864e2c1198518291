#pragma once

#include <QSqlQuery>
#include <QString>
#include <QVariantList>

namespace logbook {

class Connection;

/// The rows of the log table in their stored order, walked one current record at a time.
/// Every move costs what SQLite needs to find the row, not a walk through the rows before it
/// in our code, so moving to any record of a large log stays fast.
class RecordSet {
  public:
    void moveFirst();
    void moveLast();
    void movePrevious();
    /// Moves by a signed count from the current record. Passing the first record leaves the
    /// set before its first record; passing the last, after its last.
    void move(qint64 count);

    bool isBeforeFirst() const { return m_beforeFirst; }
    bool isAfterLast() const { return m_afterLast; }

    /// Column of the current record by 0-based position in table order; 0 or "" when there is
    /// no current record or no such column. Integers outside 32 bits are clamped.
    qint32 intValue(int column) const;
    QString textValue(int column) const;

  private:
    friend class Connection;
    explicit RecordSet(Connection &connection);
    bool open();
    /// Makes current the row `skip` rows past the first one beyond `fromRowId` in the given
    /// direction; with no such row the set ends up past its end in that direction.
    void seek(bool forward, qint64 fromRowId, qint64 skip);

    Connection &m_connection;
    QSqlQuery m_forward;
    QSqlQuery m_backward;
    bool m_beforeFirst = true;
    bool m_afterLast = true;
    qint64 m_rowId = 0;
    QVariantList m_values; ///< rowid, then the table's columns
};

} // namespace logbook
