#pragma once

#include <QTableView>

namespace ui {

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
};

} // namespace ui
