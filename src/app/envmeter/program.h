#pragma once

#include "core/program_files.h"
#include "log/data_source.h"
#include "log/log_grid.h"
#include "log/reading_log.h"
#include "log/record_grid_model.h"
#include "report/print_report.h"
#include "session/logging_session.h"
#include "views/adapters/qt_copy_progress.h"
#include "views/export/csv_export_command.h"
#include "views/main_window/main_window.h"
#include "views/main_window/splash_window.h"
#include "window/chart_handlers.h"
#include "window/history_slider.h"
#include "window/port_control.h"
#include "window/reading_display.h"
#include "window/save_or_load_log.h"
#include "window/start_up.h"
#include "window/toolbar_commands.h"
#include "window/window_model.h"

#include <QString>

#include <functional>
#include <memory>

namespace core {
class Clock;
class MessageBoxes;
} // namespace core
namespace meter {
class SerialLine;
}

namespace app {

/// The program's objects and how they meet: the window model, the log's data source and
/// grid, the windows, and the handlers, wired to one another. main() gives it the services.
class Program {
  public:
    /// Without message boxes or a serial line of the caller's, the program uses the screen's
    /// and the machine's.
    Program(core::ProgramFiles files, const core::Clock &clock,
            core::MessageBoxes *messages = nullptr, meter::SerialLine *line = nullptr);
    ~Program();
    /// One of several meters: its own settings are read over the common ones, and its own
    /// file is the one "Publish..." writes; its name is in the window's title and statistics.
    void setMeterName(const QString &name);

    /// Load, first showing and first activation of the main window.
    void start();
    /// The help window, modal; the main window is activated again when it closes.
    void showHelp();
    /// The "Data Save/Load" command, its dialog modal; the main window is activated again when
    /// the dialog closes.
    void saveOrLoadLog();
    /// The "Print Step" command on the default printer, or into a PDF beside the program.
    void printReport();
    /// "Statistics...": the statistics window, modal, over the live log or the history shown.
    void showStatistics();
    /// The publishing settings: the meter's own over the common ones for one of several.
    publish::SettingsReading readPublishSettings() const;
    /// "Publish...": the publishing settings, modal; saved and taken up at once on OK.
    void choosePublishing();

    window::WindowModel &model() { return m_model; }
    session::LoggingSession &session() { return m_session; }
    views::MainWindow &mainWindow() { return m_mainWindow; }
    logbook::DataSource &gridSource() { return m_gridSource; }
    window::ChartHandlers &chart() { return m_chart; }
    window::ToolbarCommands &toolbar() { return m_toolbar; }
    window::HistorySlider &slider() { return m_slider; }
    views::CsvExportCommand &csvExport() { return m_export; }
    logbook::ReadingLog &readingLog() { return m_log; }

  private:
    /// Sets the program's own default font before any window is built.
    struct ProgramLook {
        ProgramLook();
    };

    template <typename Handler> void runHandler(Handler handler);
    void receiveEvent();
    /// A handler the user must not miss: run now, or once the running one has ended.
    void runWhenFree(const std::function<void()> &handler);
    /// Publishing follows logging: on while this program holds the log's lock, when the
    /// user's settings turn it on.
    void followLogging(bool logging);

    ProgramLook m_look;
    QString m_directory;
    QString m_helpFile;
    QString m_meterName;
    const core::Clock &m_clock;
    window::WindowModel m_model;
    logbook::DataSource m_gridSource;
    logbook::RecordGridModel m_grid{m_gridSource};
    logbook::LogGrid m_logGrid{m_gridSource, m_grid};
    views::MainWindow m_mainWindow;
    std::unique_ptr<core::MessageBoxes> m_screenMessages;
    core::MessageBoxes &m_messages;
    views::QtCopyProgress m_copyProgress{&m_mainWindow};
    std::unique_ptr<meter::SerialLine> m_machineLine;
    meter::SerialLine &m_line;
    window::ChartHandlers m_chart;
    logbook::ReadingLog m_log;
    session::LoggingSession m_session;
    window::StartUp m_startUp;
    window::ReadingDisplay m_display;
    window::PortControl m_port;
    window::ToolbarCommands m_toolbar;
    window::HistorySlider m_slider;
    window::SaveLoadCommand m_saveLoad;
    report::PrintReportCommand m_report;
    views::CsvExportCommand m_export;
    views::SplashWindow m_splash;
    bool m_inHandler = false;
};

} // namespace app
