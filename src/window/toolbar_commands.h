#pragma once

#include <QString>

#include <functional>

namespace core {
class MessageBoxes;
}
namespace logbook {
class ReadingLog;
}

namespace window {

class ChartHandlers;
class PortControl;
class WindowModel;

/// What the toolbar asks of the program as a whole: the commands that end it or open one of
/// its windows.
struct ToolbarActions {
    std::function<void()> exitProgram;
    std::function<void()> saveOrLoadLog;
    std::function<void()> printReport;
};

/// The toolbar's dispatch by button key, and its own commands: Exit, Clear Screen, Clear All.
class ToolbarCommands {
  public:
    ToolbarCommands(WindowModel &model, PortControl &port, ChartHandlers &chart,
                    logbook::ReadingLog &log, core::MessageBoxes &messages, ToolbarActions actions);

    void OnToolbarButtonClick(const QString &key);
    void ClearScreen();
    void ClearAll();

  private:
    WindowModel &m_model;
    PortControl &m_port;
    ChartHandlers &m_chart;
    logbook::ReadingLog &m_log;
    core::MessageBoxes &m_messages;
    ToolbarActions m_actions;
};

} // namespace window
