#pragma once

#include <QString>

namespace core {
class MessageBoxes;
}
namespace meter {
class SerialLine;
}

namespace window {

class ChartHandlers;
class WindowModel;

/// The line off: Text9 "OFFLine", the port closed, the receive lamp blue.
void putLineOff(WindowModel &model, meter::SerialLine &line);
/// Whether the line is off, as the line-state box Text9 says: the commands that must not run
/// while readings are taken ask this.
bool lineIsOff(const WindowModel &model);

/// The two toolbar commands that own the serial line: "Comm Port" and "OffLine/OnLine".
class PortControl {
  public:
    PortControl(WindowModel &model, meter::SerialLine &line, ChartHandlers &chart,
                core::MessageBoxes &messages);

    void SwitchCommPort();
    void ToggleLine();
    /// The device went away while the line was open: the user is told that the line waits for
    /// it and comes back by itself; the lamp is blue meanwhile.
    void lineLost(const QString &reason);
    /// The line is open but brings nothing: the user is told what to check.
    void lineSilent();

  private:
    void openLine();

    WindowModel &m_model;
    meter::SerialLine &m_line;
    ChartHandlers &m_chart;
    core::MessageBoxes &m_messages;
};

} // namespace window
