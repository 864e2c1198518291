#pragma once

#include "statistics/figures.h"
#include "window/statistics_span.h"

#include <QDialog>

#include <functional>

class QLabel;
class QLineEdit;
class QVBoxLayout;

namespace core {
class MessageBoxes;
}

namespace views {

/// "Statistics": the figures of a span of readings, one table per function and unit, narrowed
/// by a from and a to time; the figures copied, saved as CSV or printed. A saved log can be
/// opened in place of the span it was opened on.
class StatisticsWindow : public QDialog {
    Q_OBJECT
  public:
    /// Prints the figures shown under the title given.
    using Print = std::function<void(const QString &title, const stats::SpanFigures &)>;

    StatisticsWindow(window::StatisticsSpan span, Print print, core::MessageBoxes &messages,
                     QWidget *parent = nullptr);

    /// Reads the saved log at `path` in place of the readings shown.
    void openLog(const QString &path);
    /// Writes the figures shown to `path` as CSV.
    void saveCsv(const QString &path);

  private:
    void showFigures();
    QLineEdit *timeBox(const QString &name);

    window::StatisticsSpan m_span;
    Print m_print;
    core::MessageBoxes &m_messages;
    stats::SpanFigures m_figures;
    QLabel *m_title = nullptr;
    QLineEdit *m_from = nullptr;
    QLineEdit *m_to = nullptr;
    QLabel *m_narrowed = nullptr;
    QWidget *m_tables = nullptr;
    QVBoxLayout *m_tablesLayout = nullptr;
};

} // namespace views
