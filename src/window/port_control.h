#pragma once

#include <QString>

#include <functional>

namespace core {
class MessageBoxes;
}
namespace logbook {
class LoggingLock;
}
namespace meter {
class SerialLine;
}
namespace session {
class LoggingSession;
}

namespace window {

class ChartHandlers;
class WindowModel;

/// The line off: lineState "OFFLine", the port closed, the receive lamp blue.
void putLineOff(WindowModel &model, meter::SerialLine &line);
/// The line on, as its port was opened: lineState "ONLine".
void showLineOn(WindowModel &model);
/// Whether the line is off, as the line state says: the commands that must not run
/// while readings are taken ask this.
bool lineIsOff(const WindowModel &model);

/// The two toolbar commands that own the serial line: "Comm Port" and "OffLine/OnLine".
///
/// Only one program takes readings into a log: the line is opened with the log's lock taken
/// (refused, and said so, while another program holds it), and the lock is given back when
/// the user puts the line off or chooses another port. The record limit's pause keeps it.
class PortControl {
  public:
    /// `logTakenOver` runs when the lock is taken afresh: another program may have logged
    /// meanwhile, so the log is read again before readings follow it.
    PortControl(WindowModel &model, session::LoggingSession &session, ChartHandlers &chart,
                core::MessageBoxes &messages, std::function<void()> logTakenOver = {});

    void switchCommPort();
    void toggleLine();
    /// Opens the line: lineState "ONLine", the settings, the port. False, with lineState back at
    /// "OFFLine", when the port cannot be opened; the session's openFailure() then says why.
    bool openLine();
    /// The device went away while the line was open: the user is told that the line waits for
    /// it and comes back by itself; the lamp is blue meanwhile.
    void lineLost(const QString &reason);
    /// The line is open but brings nothing: the user is told what to check.
    void lineSilent();

  private:
    bool takeLoggingLock();

    WindowModel &m_model;
    session::LoggingSession &m_session;
    meter::SerialLine &m_line;
    ChartHandlers &m_chart;
    logbook::LoggingLock &m_lock;
    core::MessageBoxes &m_messages;
    std::function<void()> m_logTakenOver;
};

} // namespace window
