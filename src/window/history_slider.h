#pragma once

#include <QString>

namespace core {
class MessageBoxes;
}
namespace logbook {
class DataSource;
class ReadingLog;
} // namespace logbook

namespace window {

class ChartHandlers;
class WindowModel;

/// The history slider beside the record grid: with the line closed, a position counts back
/// from the last record, moves the grid to that record and asks for a history plot, which a
/// release over the slider draws.
class HistorySlider {
  public:
    HistorySlider(logbook::ReadingLog &log, WindowModel &model, logbook::DataSource &gridSource,
                  ChartHandlers &chart, core::MessageBoxes &messages);

    /// Every change of the slider's position.
    void onThumbMoved();
    /// A key or mouse button released over the slider.
    void onReleased();

  private:
    logbook::ReadingLog &m_log;
    WindowModel &m_model;
    logbook::DataSource &m_gridSource;
    ChartHandlers &m_chart;
    core::MessageBoxes &m_messages;
};

} // namespace window
