#include "app/logger.h"

#include "core/clock.h"
#include "core/meter_settings.h"
#include "log/log_database.h"
#include "meter/qt_serial_line.h"
#include "publish/publish_settings.h"
#include "window/form1_layout.h"

#include <QDir>

namespace app {

namespace {

constexpr int kRetryMs = meter::QtSerialLine::kReconnectMs;

QString native(const QString &path) { return QDir::toNativeSeparators(path); }

} // namespace

void LoggerReport::say(const QString &line) { m_out << "envmeter-logger: " << line << Qt::endl; }

void LoggerReport::showMessage(const QString &text) {
    if (m_held)
        m_held->append(text);
    else
        say(text);
}

void LoggerReport::releaseMessages(bool sayThem) {
    const QStringList held = m_held.value_or(QStringList());
    m_held.reset();
    if (sayThem)
        for (const QString &text : held)
            say(text);
}

Logger::Logger(QString directory, int port, const core::Clock &clock, QTextStream &report,
               meter::SerialLine *line)
    : m_directory(std::move(directory)), m_report(report),
      m_plot(window::surfaceGeometry(window::ControlId::Picture1)),
      m_frame(window::surfaceGeometry(window::ControlId::Picture2)),
      m_wedge(window::surfaceGeometry(window::ControlId::Picture3)),
      m_bar(window::surfaceGeometry(window::ControlId::Picture6)),
      m_chart(m_model, m_plot, m_frame, m_wedge, m_bar),
      m_line(meter::givenOrMachineLine(line, m_machineLine)),
      m_log(m_directory, m_data1, m_grid, clock, m_report),
      m_startUp(m_model, m_data1, m_grid, m_log, m_plot, m_chart, m_report),
      m_pipeline(m_model, m_line, m_chart, m_log, [] {}),
      m_port(m_model, m_line, m_chart, m_log.lock(), m_report) {
    m_line.setPortNumber(port);
    m_model.setText(window::ControlId::Text8, QStringLiteral("COM%1").arg(port));
    m_line.setReceiveHandler([this] { receiveEvent(); });
    m_line.setLostHandler([this](const QString &reason) {
        m_report.say(QStringLiteral("%1 has gone away (%2). Every reading received is in the "
                                    "log; logging goes on as soon as the device is back.")
                         .arg(m_line.portDescription(), reason));
    });
    m_line.setBackHandler([this] {
        m_report.say(
            QStringLiteral("%1 is back; readings are logged again.").arg(m_line.portDescription()));
    });
    m_line.setSilentHandler([this] { m_port.lineSilent(); });
    m_log.setNoteHandler([this](const QString &note) { m_report.say(note); });
    m_retry.setInterval(kRetryMs);
    QObject::connect(&m_retry, &QTimer::timeout, [this] { openLine(); });
}

Logger::~Logger() {
    m_retry.stop();
    if (!m_log.lock().held())
        return;
    const bool written = m_log.writeQueued();
    m_line.close();
    m_publisher.reset();
    const QString live = native(m_log.filePath(logbook::kLiveLogFile));
    m_report.say(written ? QStringLiteral("Stopped; every reading taken is in %1.").arg(live)
                         : QStringLiteral("Stopped; %1 readings taken could not be written to %2.")
                               .arg(m_log.waitingCount())
                               .arg(live));
}

bool Logger::start() {
    const QString live = native(m_log.filePath(logbook::kLiveLogFile));
    if (!m_log.lock().take()) {
        m_report.say(
            QStringLiteral("%1 is being written by %2; only one program logs into it at "
                           "a time.")
                .arg(live, m_log.lock().otherHolder().value_or(QStringLiteral("another "
                                                                              "program"))));
        return false;
    }
    // What the start-up tells is said once it is clear the log can be kept.
    m_report.holdMessages();
    m_startUp.load();
    m_startUp.activate();
    const logbook::DatabaseError error = m_data1.error();
    m_report.releaseMessages(!error);
    if (error) {
        m_log.lock().release();
        m_report.say(
            QStringLiteral("%1 cannot be logged into: %2.").arg(native(error.file), error.reason));
        return false;
    }
    m_report.say(QStringLiteral("Started on %1, logging into %2 (%3 records there).")
                     .arg(m_line.portDescription(), live)
                     .arg(m_data1.recordCount()));
    startPublishing();
    openLine();
    return true;
}

void Logger::startPublishing() {
    const QString file = publish::settingsFile();
    const publish::SettingsReading reading =
        m_meterName.isEmpty() ? publish::readPublishSettings(file)
                              : publish::readMeterPublishSettings(
                                    file, core::meterSettingsFile(file, m_meterName), m_meterName);
    for (const QString &mistake : reading.mistakes)
        m_report.say(mistake);
    if (!reading.exposed.isEmpty())
        m_report.say(reading.exposed);
    m_report.say(reading.summary());
    if (!reading.publishes())
        return;
    // Said from the publisher's thread, written on this one.
    const auto say = [this](const QString &line) {
        QMetaObject::invokeMethod(
            &m_retry, [this, line] { m_report.say(line); }, Qt::QueuedConnection);
    };
    m_publisher = std::make_unique<publish::Publisher>(reading.settings, m_directory,
                                                       publish::Publisher::Handlers{say, say});
    m_log.setCommittedHandler([this] { m_publisher->recordsCommitted(); });
}

void Logger::followReadings() {
    m_log.setRecordHandler([this](const logbook::LogRecord &record) {
        m_report.say(QStringLiteral("Record %1: %2 %3 %4 at %5")
                         .arg(record.no)
                         .arg(record.function, record.data, record.unit, record.time));
    });
}

void Logger::openLine() {
    if (m_port.openLine()) {
        m_retry.stop();
        m_toldClosed = false;
        m_report.say(QStringLiteral("%1 is open at 2400,n,8,1.").arg(m_line.portDescription()));
        return;
    }
    if (!m_toldClosed) {
        m_toldClosed = true;
        m_report.say(
            QStringLiteral("%1 cannot be opened: %2. %3 Trying again every second.")
                .arg(m_line.portDescription(), m_line.errorText(), window::portsSentence(m_line)));
    }
    m_retry.start();
}

void Logger::receiveEvent() {
    m_pipeline.onSerialEvent();
    // The record limit puts the line off while it backs the log up; nobody is here to put it
    // on again. Once the port's own callback has returned.
    if (window::lineIsOff(m_model) && !m_retry.isActive())
        QTimer::singleShot(0, &m_retry, [this] { openLine(); });
}

} // namespace app
