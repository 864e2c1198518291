#pragma once

#include "statistics/figures.h"
#include "statistics/log_history.h"
#include "window/statistics_span.h"

#include <QDialog>

#include <atomic>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

class QComboBox;
class QLabel;
class QLineEdit;
class QProgressDialog;
class QPushButton;
class QTableWidget;
class QVBoxLayout;

namespace core {
class MessageBoxes;
}

namespace views {

class IntervalChartView;

/// "Statistics": the figures of a span of readings (a data folder's history, a saved log, the
/// history plot's records), one table per function and unit, narrowed by a from and a to time,
/// and per interval (minute, 15 minutes, hour, day) as a chart and a table; the figures copied,
/// saved as CSV, the chart as PNG, or printed. The logs are read on a thread of their own:
/// reading that takes longer than half a second shows its progress and can be cancelled.
class StatisticsWindow : public QDialog {
    Q_OBJECT
  public:
    /// Prints the figures shown under the title given, the intervals' chart and the events.
    using Print = std::function<void(const QString &title, const stats::SpanFigures &,
                                     const std::vector<stats::IntervalFigures> &,
                                     const std::vector<stats::EventFigures> &)>;

    StatisticsWindow(window::StatisticsSpan span, Print print, core::MessageBoxes &messages,
                     QWidget *parent = nullptr);
    ~StatisticsWindow() override;

    /// Reads the saved log at `path` in place of the readings shown.
    void openLog(const QString &path);
    /// Writes the figures shown to `path` as CSV.
    void saveCsv(const QString &path);
    /// Writes the chart shown to `path` as PNG.
    void saveChart(const QString &path);

  private:
    /// Reads the span again with the bounds and interval the window shows.
    void showFigures();
    void showResult(const stats::HistoryFigures &figures);
    void fillIntervalTable();
    /// The events of the alarms' rules, a row each.
    void fillEventTable();
    QLineEdit *timeBox(const QString &name);
    /// A box of HI or LOW as the command line takes them, showing `limit`.
    QLineEdit *limitBox(const QString &name, const stats::Limit &limit);

    window::StatisticsSpan m_span;
    Print m_print;
    core::MessageBoxes &m_messages;
    stats::SpanFigures m_figures;
    std::vector<stats::IntervalFigures> m_intervals;
    std::vector<stats::EventFigures> m_events;
    /// Each reading of the span counts; a result of an earlier one is dropped.
    int m_generation = 0;
    std::shared_ptr<std::atomic<bool>> m_cancel;
    std::vector<std::thread> m_readers; ///< joined when the window goes
    QProgressDialog *m_progress = nullptr;
    QComboBox *m_interval = nullptr;
    QLabel *m_computed = nullptr;
    IntervalChartView *m_chart = nullptr;
    QTableWidget *m_intervalTable = nullptr;
    QTableWidget *m_eventTable = nullptr;
    QPushButton *m_saveChart = nullptr;
    QLabel *m_title = nullptr;
    QLineEdit *m_from = nullptr;
    QLineEdit *m_to = nullptr;
    QLineEdit *m_hi = nullptr;
    QLineEdit *m_low = nullptr;
    QLabel *m_narrowed = nullptr;
    QWidget *m_tables = nullptr;
    QVBoxLayout *m_tablesLayout = nullptr;
};

} // namespace views
