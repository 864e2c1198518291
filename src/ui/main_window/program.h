#pragma once

#include "log/data_source.h"
#include "log/record_grid_model.h"
#include "ui/main_window/chart_handlers.h"
#include "ui/main_window/form1.h"
#include "ui/main_window/form3.h"
#include "ui/main_window/start_up.h"
#include "ui/main_window/window_model.h"

#include <QString>

#include <memory>

namespace core {
class Clock;
class MessageBoxes;
} // namespace core

namespace ui {

/// The program's objects and how they meet: the window model, the log's data source and
/// grid, the windows, and the handlers, wired to one another. main() gives it the services.
class Program {
  public:
    /// Without message boxes of the caller's, they appear on the screen.
    Program(QString programDirectory, const core::Clock &clock,
            core::MessageBoxes *messages = nullptr);
    ~Program();

    /// Load, first showing and first activation of the main window.
    void start();
    /// The help window, modal; the main window is activated again when it closes.
    void showHelp();

    WindowModel &model() { return m_model; }
    Form1 &form1() { return m_form1; }
    logbook::DataSource &data1() { return m_data1; }
    ChartHandlers &chart() { return m_chart; }

  private:
    QString m_directory;
    const core::Clock &m_clock;
    WindowModel m_model;
    logbook::DataSource m_data1;
    logbook::RecordGridModel m_grid{m_data1};
    Form1 m_form1;
    std::unique_ptr<core::MessageBoxes> m_screenMessages;
    core::MessageBoxes &m_messages;
    ChartHandlers m_chart;
    StartUp m_startUp;
    Form3 m_form3;
};

} // namespace ui
