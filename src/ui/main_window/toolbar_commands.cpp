#include "ui/main_window/toolbar_commands.h"

#include "core/message_boxes.h"
#include "log/connection.h"
#include "log/data_source.h"
#include "log/log_database.h"
#include "log/record_grid_model.h"
#include "ui/main_window/chart_handlers.h"
#include "ui/main_window/port_control.h"
#include "ui/main_window/window_model.h"

#include <QDir>

namespace ui {

ToolbarCommands::ToolbarCommands(QString programDirectory, WindowModel &model, PortControl &port,
                                 ChartHandlers &chart, logbook::DataSource &data1,
                                 logbook::RecordGridModel &grid, core::MessageBoxes &messages,
                                 ToolbarActions actions)
    : m_directory(std::move(programDirectory)), m_model(model), m_port(port), m_chart(chart),
      m_data1(data1), m_grid(grid), m_messages(messages), m_actions(std::move(actions)) {}

void ToolbarCommands::OnToolbarButtonClick(const QString &key) {
    const auto run = [](const std::function<void()> &action) {
        if (action)
            action();
    };
    if (key == u"aa")
        run(m_actions.exitProgram);
    else if (key == u"bb")
        m_port.SwitchCommPort();
    else if (key == u"cc")
        run(m_actions.printReport);
    else if (key == u"dd")
        m_port.ToggleLine();
    else if (key == u"ee")
        run(m_actions.saveOrLoadLog);
    else if (key == u"ff")
        ClearScreen();
    else if (key == u"gg")
        ClearAll();
}

void ToolbarCommands::ClearScreen() {
    m_chart.ApplyChartBackground();
    m_model.fields.TrendCount = 0;
}

void ToolbarCommands::ClearAll() {
    const QString live = QDir(m_directory).filePath(logbook::kLiveLogFile);
    logbook::Connection db;
    if (!db.open(live) || !db.execute(logbook::kDeleteAll)) {
        m_messages.showMessage(QStringLiteral("The log %1 could not be emptied: %2.")
                                   .arg(QDir::toNativeSeparators(live), db.error().reason));
        return;
    }
    db.close();
    const bool refreshed = m_data1.refresh();
    logbook::setLogGridColumns(m_grid);
    if (!refreshed) {
        // The counters stay as they are, as after any other failure of the command.
        m_messages.showMessage(
            QStringLiteral("The log %1 was emptied but could not be read again: %2.")
                .arg(QDir::toNativeSeparators(m_data1.error().file), m_data1.error().reason));
        return;
    }
    m_chart.ApplyChartBackground();
    WindowFields &f = m_model.fields;
    f.TrendCount = 0;
    f.MinMaxRestart = true;
    m_model.setMaximum(ControlId::Slider1, 1);
    f.LogRecordCount = 0;
    f.NextRecordNo = 0;
    m_model.setPanelText(4, QString());
    m_model.setPanelText(6, QString());
}

} // namespace ui
