#include "window/toolbar_commands.h"

#include "core/message_boxes.h"
#include "log/reading_log.h"
#include "session/logging_session.h"
#include "window/chart_handlers.h"
#include "window/log_count.h"
#include "window/port_control.h"
#include "window/window_model.h"

namespace window {

ToolbarCommands::ToolbarCommands(WindowModel &model, PortControl &port, ChartHandlers &chart,
                                 logbook::ReadingLog &log, session::LoggingSession &session,
                                 core::MessageBoxes &messages, ToolbarActions actions)
    : m_model(model), m_port(port), m_chart(chart), m_log(log), m_session(session),
      m_messages(messages), m_actions(std::move(actions)) {}

void ToolbarCommands::onToolbarButtonClick(const QString &key) {
    const auto run = [](const std::function<void()> &action) {
        if (action)
            action();
    };
    if (key == toolbar::kExit)
        run(m_actions.exitProgram);
    else if (key == toolbar::kCommPort)
        m_port.switchCommPort();
    else if (key == toolbar::kPrintStep)
        run(m_actions.printReport);
    else if (key == toolbar::kOffLineOnLine)
        m_port.toggleLine();
    else if (key == toolbar::kDataSaveLoad)
        run(m_actions.saveOrLoadLog);
    else if (key == toolbar::kClearScreen)
        clearScreen();
    else if (key == toolbar::kClearAll)
        clearAll();
}

void ToolbarCommands::clearScreen() {
    m_chart.applyChartBackground();
    m_chart.restartTrend();
}

void ToolbarCommands::clearAll() {
    if (const QString refusal = m_log.lock().refusal(); !refusal.isEmpty()) {
        m_messages.showMessage(refusal);
        return;
    }
    // After a failure the counters stay as they are.
    if (const QString failure = m_log.emptyLog(); !failure.isEmpty()) {
        m_messages.showMessage(failure);
        return;
    }
    startLogAfresh(m_model, m_chart);
    m_session.restartNumberingAt(0);
    m_model.setPanelText(4, QString());
    m_model.setPanelText(6, QString());
}

} // namespace window
