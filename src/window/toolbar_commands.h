#pragma once

#include <QLatin1String>
#include <QString>

#include <array>
#include <functional>

namespace core {
class MessageBoxes;
}
namespace logbook {
class ReadingLog;
}
namespace session {
class LoggingSession;
}

namespace window {

class ChartHandlers;
class PortControl;
class WindowModel;

/// The keys of the toolbar's buttons, by which its click handler tells them apart.
namespace toolbar {
inline constexpr QLatin1String kExit("aa");
inline constexpr QLatin1String kCommPort("bb");
inline constexpr QLatin1String kPrintStep("cc");
inline constexpr QLatin1String kOffLineOnLine("dd");
inline constexpr QLatin1String kDataSaveLoad("ee");
inline constexpr QLatin1String kClearScreen("ff");
inline constexpr QLatin1String kClearAll("gg");
} // namespace toolbar

struct ToolbarButton {
    QLatin1String key;
    QLatin1String caption;
};

/// The toolbar's buttons from left to right.
inline constexpr std::array<ToolbarButton, 7> kToolbarButtons{{
    {toolbar::kExit, QLatin1String("Exit")},
    {toolbar::kCommPort, QLatin1String("Comm Port")},
    {toolbar::kPrintStep, QLatin1String("Print Step")},
    {toolbar::kOffLineOnLine, QLatin1String("OffLine/OnLine")},
    {toolbar::kDataSaveLoad, QLatin1String("Data Save/Load")},
    {toolbar::kClearScreen, QLatin1String("Clear Screen")},
    {toolbar::kClearAll, QLatin1String("Clear All")},
}};

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
                    logbook::ReadingLog &log, session::LoggingSession &session,
                    core::MessageBoxes &messages, ToolbarActions actions);

    /// A toolbar button clicked: the command of its key (toolbar::k...); other keys do nothing.
    void onToolbarButtonClick(const QString &key);
    void clearScreen();
    void clearAll();

  private:
    WindowModel &m_model;
    PortControl &m_port;
    ChartHandlers &m_chart;
    logbook::ReadingLog &m_log;
    session::LoggingSession &m_session;
    core::MessageBoxes &m_messages;
    ToolbarActions m_actions;
};

} // namespace window
