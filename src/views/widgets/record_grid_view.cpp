#include "views/widgets/record_grid_view.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QHeaderView>
#include <QPaintEvent>
#include <QPointer>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionSlider>

#include <map>
#include <utility>

namespace views {

namespace {

constexpr int kHeaderRow = -1;

class GridAccessible;

/// One cell of the grid, or a column header (row -1), as assistive technology sees it.
class GridCell final : public QAccessibleInterface, public QAccessibleTableCellInterface {
  public:
    GridCell(RecordGridView *view, int row, int column)
        : m_view(view), m_row(row), m_column(column) {}

    bool isValid() const override {
        return m_view && m_view->model() && m_column < m_view->model()->columnCount() &&
               m_row < m_view->model()->rowCount();
    }
    QObject *object() const override { return nullptr; }
    QWindow *window() const override { return m_view ? m_view->window()->windowHandle() : nullptr; }
    QAccessibleInterface *parent() const override {
        return QAccessible::queryAccessibleInterface(m_view.data());
    }
    QAccessibleInterface *child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface *) const override { return -1; }
    QAccessibleInterface *childAt(int, int) const override { return nullptr; }

    QString text(QAccessible::Text t) const override {
        if (!isValid() || (t != QAccessible::Name && t != QAccessible::Value))
            return {};
        const QAbstractItemModel *model = m_view->model();
        return m_row == kHeaderRow ? model->headerData(m_column, Qt::Horizontal).toString()
                                   : model->index(m_row, m_column).data().toString();
    }
    void setText(QAccessible::Text, const QString &) override {}

    QRect rect() const override {
        if (!isValid())
            return {};
        if (m_row == kHeaderRow) {
            const QHeaderView *header = m_view->horizontalHeader();
            const QRect r(header->sectionViewportPosition(m_column), 0,
                          header->sectionSize(m_column), header->height());
            return r.translated(header->viewport()->mapToGlobal(QPoint(0, 0)));
        }
        const QRect r = m_view->visualRect(m_view->model()->index(m_row, m_column));
        return r.translated(m_view->viewport()->mapToGlobal(QPoint(0, 0)));
    }
    QAccessible::Role role() const override {
        return m_row == kHeaderRow ? QAccessible::ColumnHeader : QAccessible::Cell;
    }
    QAccessible::State state() const override {
        QAccessible::State st;
        if (!isValid()) {
            st.invalid = true;
            return st;
        }
        const auto [first, last] = m_view->rowsOnScreen();
        st.invisible = m_row != kHeaderRow && (m_row < first || m_row > last);
        if (m_row == kHeaderRow)
            return st;
        st.readOnly = true;
        st.selectable = true;
        st.focusable = true;
        st.selected = isSelected();
        st.focused = m_view->hasFocus() && m_view->currentIndex().row() == m_row &&
                     m_view->currentIndex().column() == m_column;
        return st;
    }
    void *interface_cast(QAccessible::InterfaceType t) override {
        if (t == QAccessible::TableCellInterface && m_row != kHeaderRow)
            return static_cast<QAccessibleTableCellInterface *>(this);
        return nullptr;
    }

    bool isSelected() const override {
        return isValid() && m_view->selectionModel() &&
               m_view->selectionModel()->isSelected(m_view->model()->index(m_row, m_column));
    }
    QList<QAccessibleInterface *> columnHeaderCells() const override;
    QList<QAccessibleInterface *> rowHeaderCells() const override { return {}; }
    int columnIndex() const override { return m_column; }
    int rowIndex() const override { return m_row; }
    int columnExtent() const override { return 1; }
    int rowExtent() const override { return 1; }
    QAccessibleInterface *table() const override { return parent(); }

  private:
    QPointer<RecordGridView> m_view;
    int m_row;
    int m_column;
};

/// The grid as a table: its children are the column headers, then the cells of the rows on
/// screen, row by row. Cells are made when asked for and forgotten when they leave the screen
/// or the result changes.
class GridAccessible final : public QAccessibleWidget, public QAccessibleTableInterface {
  public:
    explicit GridAccessible(RecordGridView *view) : QAccessibleWidget(view, QAccessible::Table) {}
    ~GridAccessible() override { forgetCells(false); }

    void *interface_cast(QAccessible::InterfaceType t) override {
        if (t == QAccessible::TableInterface)
            return static_cast<QAccessibleTableInterface *>(this);
        return QAccessibleWidget::interface_cast(t);
    }

    int childCount() const override {
        const auto [first, last] = view()->rowsOnScreen();
        return columnCount() * (1 + std::max(0, last - first + 1));
    }
    QAccessibleInterface *child(int index) const override {
        const int columns = columnCount();
        if (index < 0 || index >= childCount() || columns == 0)
            return nullptr;
        if (index < columns)
            return cell(kHeaderRow, index);
        return cell(view()->rowsOnScreen().first + index / columns - 1, index % columns);
    }
    int indexOfChild(const QAccessibleInterface *child) const override {
        // Only the grid's own cells have the grid as their parent.
        if (!child || child->parent() != this)
            return -1;
        const auto *cell = static_cast<const GridCell *>(child);
        if (cell->rowIndex() == kHeaderRow)
            return cell->columnIndex();
        const auto [first, last] = view()->rowsOnScreen();
        if (cell->rowIndex() < first || cell->rowIndex() > last)
            return -1;
        return (cell->rowIndex() - first + 1) * columnCount() + cell->columnIndex();
    }
    QAccessibleInterface *childAt(int x, int y) const override {
        const QPoint local = view()->viewport()->mapFromGlobal(QPoint(x, y));
        const QModelIndex index = view()->indexAt(local);
        return index.isValid() ? cell(index.row(), index.column()) : nullptr;
    }
    QAccessibleInterface *focusChild() const override {
        const QModelIndex current = view()->currentIndex();
        return current.isValid() ? cell(current.row(), current.column()) : nullptr;
    }

    QAccessibleInterface *caption() const override { return nullptr; }
    QAccessibleInterface *summary() const override { return nullptr; }
    QAccessibleInterface *cellAt(int row, int column) const override {
        if (row < 0 || row >= rowCount() || column < 0 || column >= columnCount())
            return nullptr;
        return cell(row, column);
    }
    int selectedCellCount() const override { return int(selectedCells().size()); }
    QList<QAccessibleInterface *> selectedCells() const override {
        QList<QAccessibleInterface *> cells;
        if (view()->selectionModel())
            for (const QModelIndex &index : view()->selectionModel()->selectedIndexes())
                cells.append(cell(index.row(), index.column()));
        return cells;
    }
    QString columnDescription(int column) const override {
        return model() ? model()->headerData(column, Qt::Horizontal).toString() : QString();
    }
    QString rowDescription(int) const override { return {}; }
    int selectedColumnCount() const override { return 0; }
    int selectedRowCount() const override { return int(selectedRows().size()); }
    int columnCount() const override { return model() ? model()->columnCount() : 0; }
    int rowCount() const override { return model() ? model()->rowCount() : 0; }
    QList<int> selectedColumns() const override { return {}; }
    QList<int> selectedRows() const override {
        QList<int> rows;
        if (view()->selectionModel())
            for (const QModelIndex &index : view()->selectionModel()->selectedRows())
                rows.append(index.row());
        return rows;
    }
    bool isColumnSelected(int) const override { return false; }
    bool isRowSelected(int row) const override {
        return model() && view()->selectionModel() &&
               view()->selectionModel()->isRowSelected(row, {});
    }
    // The grid is moved by the program's record pointer, not by assistive technology.
    bool selectRow(int) override { return false; }
    bool selectColumn(int) override { return false; }
    bool unselectRow(int) override { return false; }
    bool unselectColumn(int) override { return false; }
    void modelChange(QAccessibleTableModelChangeEvent *event) override {
        // Appended rows leave the others as they were; anything else renumbers them.
        if (event->modelChangeType() != QAccessibleTableModelChangeEvent::RowsInserted ||
            event->lastRow() != rowCount() - 1)
            forgetCells(true);
    }

    /// The cell's interface, made once and kept by Qt's cache until forgotten.
    QAccessibleInterface *cell(int row, int column) const {
        const auto found = m_cells.find({row, column});
        if (found != m_cells.end())
            return QAccessible::accessibleInterface(found->second);
        auto *made = new GridCell(view(), row, column);
        m_cells.emplace(std::pair(row, column), QAccessible::registerAccessibleInterface(made));
        return made;
    }

    void forgetCells(bool keepHeaders) {
        for (auto it = m_cells.begin(); it != m_cells.end();) {
            if (keepHeaders && it->first.first == kHeaderRow) {
                ++it;
                continue;
            }
            QAccessible::deleteAccessibleInterface(it->second);
            it = m_cells.erase(it);
        }
    }
    void forgetCellsOffScreen() {
        const auto [first, last] = view()->rowsOnScreen();
        const int current = view()->currentIndex().row();
        for (auto it = m_cells.begin(); it != m_cells.end();) {
            const int row = it->first.first;
            if (row == kHeaderRow || row == current || (row >= first && row <= last)) {
                ++it;
                continue;
            }
            QAccessible::deleteAccessibleInterface(it->second);
            it = m_cells.erase(it);
        }
    }

  private:
    RecordGridView *view() const { return static_cast<RecordGridView *>(widget()); }
    const QAbstractItemModel *model() const { return view()->model(); }

    mutable std::map<std::pair<int, int>, QAccessible::Id> m_cells;
};

QList<QAccessibleInterface *> GridCell::columnHeaderCells() const {
    if (auto *grid = static_cast<GridAccessible *>(parent()))
        return {grid->cell(kHeaderRow, m_column)};
    return {};
}

} // namespace

/// The grid's row header shows no numbers at a width of its own: measured for a size hint it
/// would look at 200 rows each time the log grows by one. Rows added below the rows on screen
/// change nothing it shows, yet the header repaints itself after every insertion and then
/// measures where every one of its 100,000 rows lies: that repaint is left out, and what the
/// screen shows of the header stays as it was.
class RowHeader final : public QHeaderView {
  public:
    explicit RowHeader(QWidget *parent) : QHeaderView(Qt::Vertical, parent) {
        setSectionsClickable(true);
        setHighlightSections(true);
        // Paints all of its area, so what it showed stays when a repaint is left out.
        viewport()->setAutoFillBackground(false);
        viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    }
    QSize sizeHint() const override { return {minimumWidth(), 0}; }

    /// Rows were added below the rows on screen, and nothing else changed since the last paint.
    void rowsAddedOutOfSight() { m_unchanged = true; }
    /// Something the header shows changed (scroll, selection, size): the next paint happens.
    void shownChanged() { m_unchanged = false; }

  protected:
    bool viewportEvent(QEvent *event) override {
        if (event->type() == QEvent::Paint) {
            const bool leaveOut = std::exchange(m_unchanged, false) &&
                                  static_cast<QPaintEvent *>(event)->rect() == viewport()->rect();
            if (leaveOut)
                return true;
        }
        return QHeaderView::viewportEvent(event);
    }

  private:
    bool m_unchanged = false;
};

namespace {

/// A scroll bar over a range that grows by one with every reading: over 100,000 rows its
/// handle moves by less than a pixel, so it is painted again only when the handle's place or
/// size, or an end it stands at, changes.
class RowScrollBar final : public QScrollBar {
  public:
    using QScrollBar::QScrollBar;

  protected:
    void sliderChange(SliderChange change) override {
        if (change == SliderRangeChange && looks() == m_painted)
            return;
        QScrollBar::sliderChange(change);
    }
    void paintEvent(QPaintEvent *event) override {
        m_painted = looks();
        QScrollBar::paintEvent(event);
    }

  private:
    struct Looks {
        QRect handle;
        bool atStart = false;
        bool atEnd = false;
        friend bool operator==(const Looks &, const Looks &) = default;
    };
    Looks looks() const {
        QStyleOptionSlider option;
        initStyleOption(&option);
        return {style()->subControlRect(QStyle::CC_ScrollBar, &option, QStyle::SC_ScrollBarSlider,
                                        this),
                value() == minimum(), value() == maximum()};
    }
    Looks m_painted;
};

QAccessibleInterface *gridFactory(const QString &className, QObject *object) {
    if (className == QLatin1String(RecordGridView::staticMetaObject.className()))
        return new GridAccessible(static_cast<RecordGridView *>(object));
    return nullptr;
}

} // namespace

RecordGridView::RecordGridView(QWidget *parent) : QTableView(parent) {
    QAccessible::installFactory(gridFactory);
    // Tab leaves the grid for the rest of the window; the arrow keys move within it.
    setTabKeyNavigation(false);
    setVerticalHeader(new RowHeader(this));
    setVerticalScrollBar(new RowScrollBar(Qt::Vertical, this));
    // The scroll area connects a scroll bar put in place of its own, the item view does not.
    connect(verticalScrollBar(), &QScrollBar::actionTriggered, this,
            &RecordGridView::verticalScrollbarAction);
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this,
            &RecordGridView::verticalScrollbarValueChanged);
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this,
            &RecordGridView::rowsOnScreenChanged);
    connect(this, &RecordGridView::rowsOnScreenChanged, this, [this] {
        rowHeader().shownChanged();
        if (!QAccessible::isActive())
            return;
        static_cast<GridAccessible *>(QAccessible::queryAccessibleInterface(this))
            ->forgetCellsOffScreen();
        QAccessibleEvent reorder(this, QAccessible::ObjectReorder);
        QAccessible::updateAccessibility(&reorder);
    });
}

RowHeader &RecordGridView::rowHeader() const { return *static_cast<RowHeader *>(verticalHeader()); }

std::pair<int, int> RecordGridView::rowsOnScreen() const {
    const int first = rowAt(0);
    if (first < 0)
        return {0, -1};
    const int last = rowAt(viewport()->height() - 1);
    return {first, last < 0 ? model()->rowCount() - 1 : last};
}

void RecordGridView::currentChanged(const QModelIndex &current, const QModelIndex &previous) {
    QAbstractItemView::currentChanged(current, previous);
    rowHeader().shownChanged();
    if (!QAccessible::isActive() || !current.isValid() || !hasFocus())
        return;
    QAccessibleInterface *grid = QAccessible::queryAccessibleInterface(this);
    const int child = grid ? grid->indexOfChild(static_cast<GridAccessible *>(grid)->cell(
                                 current.row(), current.column()))
                           : -1;
    if (child < 0)
        return;
    QAccessibleEvent focus(this, QAccessible::Focus);
    focus.setChild(child);
    QAccessible::updateAccessibility(&focus);
}

void RecordGridView::selectionChanged(const QItemSelection &selected,
                                      const QItemSelection &deselected) {
    // A selection follows the current record, whose focus is announced above.
    QAbstractItemView::selectionChanged(selected, deselected);
    rowHeader().shownChanged();
}

void RecordGridView::setModel(QAbstractItemModel *model) {
    if (this->model())
        disconnect(this->model(), nullptr, this, nullptr);
    QTableView::setModel(model);
    if (!model)
        return;
    // Whatever else changes the rows asks for the full layout.
    const auto changed = [this] {
        m_pending = Pending::Rows;
        rowHeader().shownChanged();
    };
    connect(model, &QAbstractItemModel::modelReset, this, changed);
    connect(model, &QAbstractItemModel::layoutChanged, this, changed);
    connect(model, &QAbstractItemModel::rowsRemoved, this, changed);
    connect(model, &QAbstractItemModel::columnsInserted, this, changed);
    connect(model, &QAbstractItemModel::columnsRemoved, this, changed);
}

void RecordGridView::rowsInserted(const QModelIndex &parent, int start, int end) {
    QTableView::rowsInserted(parent, start, end);
    // Worked out from the scroll position, as the grid's rows are all of one height: asking the
    // header where a row lies would make it measure every row again after an insertion.
    const int rowHeight = std::max(1, verticalHeader()->defaultSectionSize());
    const int firstOnScreen = verticalScrollMode() == ScrollPerItem
                                  ? verticalScrollBar()->value()
                                  : verticalScrollBar()->value() / rowHeight;
    const int lastOnScreen = firstOnScreen + (viewport()->height() + rowHeight - 1) / rowHeight - 1;
    const bool outOfSight = !parent.isValid() && end == model()->rowCount() - 1 &&
                            start > lastOnScreen && rowsAreUniform();
    if (m_pending != Pending::Rows)
        m_pending = outOfSight ? Pending::AppendedOutOfSight : Pending::Rows;
    if (m_pending == Pending::AppendedOutOfSight)
        rowHeader().rowsAddedOutOfSight();
}

void RecordGridView::doItemsLayout() {
    const Pending pending = std::exchange(m_pending, Pending::Nothing);
    if (pending != Pending::AppendedOutOfSight || !stretchScrollRange())
        QTableView::doItemsLayout();
}

bool RecordGridView::rowsAreUniform() const {
    const QHeaderView *rows = verticalHeader();
    return rows->length() == qint64(rows->count()) * rows->defaultSectionSize();
}

bool RecordGridView::stretchScrollRange() {
    // The table's own geometry update would measure where every row lies, and the scroll bar's
    // range signal makes the scroll area lay out its children again, raising its two scroll bars
    // in turn so that both and the frame beneath them are painted again. Rows added below the
    // rows on screen only lengthen the range of a scroll bar already shown.
    const int rowHeight = std::max(1, verticalHeader()->defaultSectionSize());
    const int rows = verticalHeader()->count();
    QScrollBar *bar = verticalScrollBar();
    if (!rowsAreUniform() || !bar->isVisibleTo(this) ||
        qint64(rows) * rowHeight <= maximumViewportSize().height())
        return false;
    const int height = viewport()->height();
    const QSignalBlocker quiet(bar);
    if (verticalScrollMode() == ScrollPerItem)
        bar->setRange(0, rows - std::max(1, height / rowHeight));
    else
        bar->setRange(0, rows * rowHeight - height);
    return true;
}

void RecordGridView::resizeEvent(QResizeEvent *event) {
    QTableView::resizeEvent(event);
    emit rowsOnScreenChanged();
}

} // namespace views
