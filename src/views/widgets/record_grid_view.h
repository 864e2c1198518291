#pragma once

#include <QTableView>

namespace views {

class RowHeader;

/// The record grid's view. Assistive technology sees the column headers and the rows on
/// screen as its children, not every cell of a log of 100,000 records, so that a walk of the
/// window stays quick; the table's full row count and any cell by its row and column can still
/// be asked for.
class RecordGridView : public QTableView {
    Q_OBJECT
  public:
    explicit RecordGridView(QWidget *parent = nullptr);

    /// The first and last row on screen; last < first when none is.
    std::pair<int, int> rowsOnScreen() const;

    void setModel(QAbstractItemModel *model) override;
    /// Rows appended below the rows on screen change nothing on screen but the scroll range:
    /// the log grows by a record a reading, and painting the rows again each time would cost
    /// more than all the rest of the reading.
    void doItemsLayout() override;

  signals:
    /// Other rows have come on screen (a scroll, a resize, a new result).
    void rowsOnScreenChanged();

  protected:
    // The table view announces focus and selection by its own numbering of every cell; these
    // announce them by the numbering of the children shown instead.
    void currentChanged(const QModelIndex &current, const QModelIndex &previous) override;
    void selectionChanged(const QItemSelection &selected,
                          const QItemSelection &deselected) override;
    void resizeEvent(QResizeEvent *event) override;
    void rowsInserted(const QModelIndex &parent, int start, int end) override;

  private:
    RowHeader &rowHeader() const;
    /// No row was resized or hidden: every row has the default height.
    bool rowsAreUniform() const;
    /// After rows were appended out of sight: lengthens the scroll range alone, if that is all
    /// the layout has to do.
    bool stretchScrollRange();

    /// What the next layout has to do: nothing was asked for, only rows below the ones on
    /// screen were added, or the rows changed otherwise.
    enum class Pending { Nothing, AppendedOutOfSight, Rows } m_pending = Pending::Nothing;
};

} // namespace views
