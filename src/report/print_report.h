#pragma once

#include "log/database_error.h"

#include <QString>

namespace core {
class MessageBoxes;
}
namespace logbook {
class DataSource;
class ReadingLog;
} // namespace logbook
namespace window {
class WindowModel;
}

namespace report {

class Printer;

/// The "Print Step" command: with the line closed, up to 300 log records ending at the grid's
/// current record are read into the history arrays and printed as list pages or as the graph
/// page, as the user answers.
class PrintReportCommand {
  public:
    PrintReportCommand(logbook::ReadingLog &log, window::WindowModel &model,
                       logbook::DataSource &gridSource, core::MessageBoxes &messages);

    /// Prints on `printer`; what it has to tell when done is shown last.
    void print(Printer &printer);

  private:
    bool readSlice(int &count);
    void tellUnreadable(const logbook::DatabaseError &failure);
    void printList(Printer &printer, int count);
    bool ask(const QString &question);

    logbook::ReadingLog &m_log;
    window::WindowModel &m_model;
    logbook::DataSource &m_gridSource;
    core::MessageBoxes &m_messages;
};

} // namespace report
