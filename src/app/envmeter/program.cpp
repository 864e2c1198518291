#include "app/envmeter/program.h"

#include "core/zone_clock.h"

#include "core/clock.h"
#include "meter/qt_serial_line.h"
#include "publish/publish_settings.h"
#include "report/statistics_page.h"
#include "views/adapters/qt_message_boxes.h"
#include "views/adapters/qt_printer.h"
#include "views/help/help_window.h"
#include "views/publish/publish_dialog.h"
#include "views/save_load/save_load_dialog.h"
#include "views/statistics/statistics_window.h"
#include "window/clock_tick.h"
#include "window/statistics_span.h"

#include <QApplication>
#include <QFont>
#include <QTimer>

namespace app {

namespace {

core::MessageBoxes &orScreen(core::MessageBoxes *given, std::unique_ptr<core::MessageBoxes> &screen,
                             QWidget *parent) {
    if (given)
        return *given;
    screen = std::make_unique<views::QtMessageBoxes>(parent);
    return *screen;
}

constexpr int kRetryMs = 50;

} // namespace

// The window's look must not depend on what else the machine has installed: the system's
// generic sans-serif family is DejaVu Sans on one machine and Nimbus Sans on the next. Liberation
// Sans comes with the program's fonts and is metric-compatible with the Arial the layout names;
// Arial Black has no such twin and would fall back to the system's choice too.
Program::ProgramLook::ProgramLook() {
    const QString family = QStringLiteral("Liberation Sans");
    QFont::insertSubstitution(QStringLiteral("Arial Black"), family);
    QApplication::setFont(QFont(family, 9));
}

Program::Program(core::ProgramFiles files, const core::Clock &clock, core::MessageBoxes *messages,
                 meter::SerialLine *line)
    : m_directory(std::move(files.directory)), m_helpFile(std::move(files.helpFile)),
      m_clock(clock), m_mainWindow(m_model, m_grid),
      m_messages(orScreen(messages, m_screenMessages, &m_mainWindow)),
      m_line(meter::givenOrMachineLine(line, m_machineLine)),
      m_chart(m_model, m_mainWindow.surface(window::ControlId::plot),
              m_mainWindow.surface(window::ControlId::chartAxes),
              m_mainWindow.surface(window::ControlId::percentGauge),
              m_mainWindow.surface(window::ControlId::levelBar)),
      m_log(m_directory, m_clock, m_messages, &m_logGrid, &m_copyProgress),
      m_session(m_line, m_log),
      m_startUp(m_model, m_gridSource, m_grid, m_log, m_session,
                m_mainWindow.surface(window::ControlId::plot), m_chart, m_messages),
      m_display(m_model, m_line, m_chart, [] { QApplication::beep(); }),
      m_port(m_model, m_session, m_chart, m_messages, [this] { m_startUp.activate(); }),
      m_toolbar(m_model, m_port, m_chart, m_log, m_session, m_messages,
                {[] { QCoreApplication::quit(); }, [this] { saveOrLoadLog(); },
                 [this] { printReport(); }}),
      m_slider(m_log, m_model, m_gridSource, m_chart, m_messages),
      m_saveLoad(m_directory, m_log, m_gridSource, m_grid, m_messages, &m_copyProgress),
      m_report(m_log, m_model, m_gridSource, m_messages),
      m_export(m_log, &m_mainWindow, m_messages), m_splash(m_model, &m_mainWindow) {
    // Handlers run one at a time, each to its end. A message shows only once its handler has
    // returned, so readings go on being taken while it waits for OK. A question or a dialog a
    // handler opens runs Qt's event loop inside it (only with the line closed): a receive event
    // arriving meanwhile is held back (its bytes wait in the port, which raises the event again
    // shortly), so the pipeline never runs inside another handler. The clock's ticks change
    // only the clock and go on, and the help window is not a handler's box, so readings keep
    // being logged behind it.
    m_session.setView(m_display);
    m_display.setAlarmHandlers(
        [this](const QStringList &raised) { m_mainWindow.showAlarms(raised); },
        [this](const QString &failure) { m_messages.showMessage(failure); });
    m_line.setReceiveHandler([this] { receiveEvent(); });
    m_line.setLostHandler([this](const QString &reason) {
        runWhenFree([this, reason] { m_port.lineLost(reason); });
    });
    m_line.setSilentHandler([this] { runWhenFree([this] { m_port.lineSilent(); }); });
    QObject::connect(&m_mainWindow, &views::MainWindow::clockTicked, &m_mainWindow,
                     [this] { window::onClockTick(m_model, m_clock); });
    QObject::connect(&m_mainWindow, &views::MainWindow::exitChosen, qApp, &QApplication::quit);
    // The session ends: the readings taken go to disk now, before it takes the window away.
    QObject::connect(qApp, &QGuiApplication::commitDataRequest, &m_mainWindow,
                     [this] { m_log.writeQueued(); });
    // Not a handler of the window: readings go on being logged while the file is chosen and
    // written, as behind the help window.
    QObject::connect(&m_mainWindow, &views::MainWindow::exportCsvChosen, &m_export,
                     &views::CsvExportCommand::exportCsv);
    QObject::connect(
        &m_mainWindow, &views::MainWindow::toolbarButtonClicked, &m_mainWindow,
        [this](const QString &key) { runHandler([&] { m_toolbar.onToolbarButtonClick(key); }); });
    QObject::connect(&m_mainWindow, &views::MainWindow::helpChosen, &m_mainWindow,
                     [this] { showHelp(); });
    QObject::connect(&m_mainWindow, &views::MainWindow::statisticsChosen, &m_mainWindow,
                     [this] { showStatistics(); });
    QObject::connect(&m_mainWindow, &views::MainWindow::publishChosen, &m_mainWindow,
                     [this] { choosePublishing(); });
    m_log.lock().setHeldHandler([this](bool logging) { followLogging(logging); });
    QObject::connect(&m_mainWindow, &views::MainWindow::clicked, &m_mainWindow,
                     [this](window::ControlId id) { runHandler([&] { m_chart.clicked(id); }); });
    QObject::connect(&m_mainWindow, &views::MainWindow::keyPressed, &m_mainWindow,
                     [this](window::ControlId id, int key) {
                         runHandler([&] { m_chart.keyPressed(id, key); });
                     });
    QObject::connect(&m_mainWindow, &views::MainWindow::sliderMoved, &m_mainWindow,
                     [this] { runHandler([&] { m_slider.onThumbMoved(); }); });
    QObject::connect(&m_mainWindow, &views::MainWindow::sliderReleased, &m_mainWindow,
                     [this] { runHandler([&] { m_slider.onReleased(); }); });
}

Program::~Program() { m_log.lock().setHeldHandler({}); }

void Program::setMeterName(const QString &name) {
    m_meterName = name;
    m_session.setMeterName(name);
    m_mainWindow.setWindowTitle(name.isEmpty() ? QStringLiteral("5710")
                                               : QStringLiteral("5710 - %1").arg(name));
}

void Program::followLogging(bool logging) {
    // Leaving takes its time in the background: the window does not wait for a broker.
    m_session.stopPublishing(0);
    m_display.forgetAlarms();
    if (!logging) {
        m_session.watchAlarms({});
        return;
    }
    const core::AlarmSettings alarms = m_session.alarmSettings();
    if (!alarms.mistakes.isEmpty())
        m_messages.showMessage(
            QStringLiteral("The alarms are watched as far as they can be read:\n") +
            alarms.mistakes.join(u'\n'));
    m_session.watchAlarms(alarms);
    const publish::SettingsReading reading = readPublishSettings();
    QStringList told = reading.mistakes;
    if (!reading.exposed.isEmpty())
        told.append(reading.exposed);
    if (!reading.mistakes.isEmpty())
        told.append(reading.summary());
    if (!told.isEmpty())
        m_messages.showMessage(told.join(u'\n'));
    if (!reading.publishes())
        return;
    m_session.startPublishing(
        reading.settings,
        publish::Publisher::Handlers{[this](const QString &failure) {
                                         QMetaObject::invokeMethod(
                                             &m_mainWindow,
                                             [this, failure] { m_messages.showMessage(failure); },
                                             Qt::QueuedConnection);
                                     },
                                     {}});
}

publish::SettingsReading Program::readPublishSettings() const {
    return m_session.publishSettings();
}

void Program::choosePublishing() {
    const publish::SettingsReading reading = readPublishSettings();
    const QString file = reading.meterFile.isEmpty() ? reading.file : reading.meterFile;
    views::PublishDialog dialog(reading, &m_mainWindow);
    if (dialog.exec() == QDialog::Accepted) {
        if (const QString failure = publish::writePublishSettings(file, dialog.settings());
            !failure.isEmpty())
            m_messages.showMessage(
                QStringLiteral("The publishing settings could not be saved: %1.").arg(failure));
        else
            followLogging(m_log.lock().held());
    }
    m_startUp.activate();
}

template <typename Handler> void Program::runHandler(Handler handler) {
    if (m_inHandler)
        return;
    m_inHandler = true;
    handler();
    m_inHandler = false;
}

void Program::runWhenFree(const std::function<void()> &handler) {
    // Not dropped like a held-back receive event: the user must hear of it.
    if (m_inHandler) {
        QTimer::singleShot(kRetryMs, &m_mainWindow, [this, handler] { runWhenFree(handler); });
        return;
    }
    runHandler(handler);
}

void Program::receiveEvent() {
    runHandler([this] {
        // A reading sets some texts twice (the gauge value, the light overload's display): the
        // window and assistive technology hear of each control's final state once.
        const window::WindowModel::Batch batch(m_model);
        m_session.onSerialEvent();
    });
}

void Program::start() {
    m_startUp.load();
    m_mainWindow.show();
    m_startUp.activate();
}

void Program::saveOrLoadLog() {
    const bool shown =
        m_saveLoad.saveOrLoadLog(window::lineIsOff(m_model), [this](window::SaveLoadModel &dialog) {
            views::SaveLoadDialog dialogView(dialog, &m_mainWindow);
            dialogView.exec();
        });
    if (shown)
        m_startUp.activate();
}

void Program::printReport() {
    views::QtPrinter printer(m_directory, m_clock.now());
    m_report.print(printer);
}

void Program::showStatistics() {
    std::optional<window::StatisticsSpan> span =
        window::statisticsSpan(m_model, m_log, m_session.lastFunction(), m_messages);
    if (!span)
        return;
    if (!m_meterName.isEmpty())
        span->title = QStringLiteral("Meter %1: %2").arg(m_meterName, span->title);
    // The events of the alarms' rules, as far as they can be read.
    span->limits.eventRules = m_session.alarmSettings().rules;
    views::StatisticsWindow statistics(
        std::move(*span),
        [this](const QString &title, const stats::SpanFigures &figures,
               const std::vector<stats::IntervalFigures> &intervals,
               const std::vector<stats::EventFigures> &events) {
            views::QtPrinter printer(m_directory, m_clock.now());
            report::printStatistics(printer, title, figures, intervals, events,
                                    QStringLiteral("Made at %1")
                                        .arg(core::isoTimeWithOffset(core::ZoneClock().at(
                                            m_clock.now().toSecsSinceEpoch()))));
            if (const QString told = printer.finish(); !told.isEmpty())
                m_messages.showMessage(told);
        },
        m_messages, &m_mainWindow);
    statistics.exec();
    m_startUp.activate();
}

void Program::showHelp() {
    views::HelpWindow helpWindow(m_helpFile, &m_mainWindow);
    helpWindow.exec();
    m_startUp.activate();
}

} // namespace app
