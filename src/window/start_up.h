#pragma once

#include "log/database_error.h"

#include <QString>

namespace chart {
class Surface;
}
namespace core {
class MessageBoxes;
}
namespace logbook {
class DataSource;
class ReadingLog;
class RecordGridModel;
} // namespace logbook
namespace session {
class LoggingSession;
}

namespace window {

class ChartHandlers;
class WindowModel;

/// The main window's load, once before it is first shown, and its activation, each time it
/// is shown or comes back from one of the program's modal windows.
class StartUp {
  public:
    StartUp(WindowModel &model, logbook::DataSource &gridSource, logbook::RecordGridModel &grid,
            logbook::ReadingLog &log, session::LoggingSession &session, chart::Surface &plot,
            ChartHandlers &chart, core::MessageBoxes &messages);

    /// Also makes sure there is a log to bind to: a missing db1.mdb is created empty (the user
    /// is told); a file that is not a log is left untouched and said so at activation.
    void load();
    void activate();

  private:
    void fillColourChoosers();
    void report(const QString &message);

    WindowModel &m_model;
    logbook::DataSource &m_gridSource;
    logbook::RecordGridModel &m_grid;
    logbook::ReadingLog &m_log;
    session::LoggingSession &m_session;
    chart::Surface &m_plot;
    ChartHandlers &m_chart;
    core::MessageBoxes &m_messages;
    logbook::DatabaseError m_lastRefreshFailure;
};

} // namespace window
