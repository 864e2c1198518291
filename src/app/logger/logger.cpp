#include "app/logger/logger.h"

#include "core/clock.h"
#include "log/log_database.h"
#include "log/summary_store.h"
#include "meter/qt_serial_line.h"
#include "publish/publish_settings.h"
#include "session/log_retirement.h"
#include "statistics/log_history.h"

#include <QDir>
#include <QFileInfo>

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
    : m_report(report), m_line(meter::givenOrMachineLine(line, m_machineLine)),
      m_log(std::move(directory), clock, m_report), m_session(m_line, m_log), m_clock(clock) {
    m_retirement.setMaxThreadCount(1);
    m_session.setView(*this);
    m_line.setPortNumber(port);
    m_line.setReceiveHandler([this] { m_session.onSerialEvent(); });
    m_line.setLostHandler([this](const QString &reason) {
        m_report.say(QStringLiteral("%1 has gone away (%2). Every reading received is in the "
                                    "log; logging goes on as soon as the device is back.")
                         .arg(m_line.portDescription(), reason));
    });
    m_line.setBackHandler([this] {
        m_report.say(
            QStringLiteral("%1 is back; readings are logged again.").arg(m_line.portDescription()));
    });
    m_line.setSilentHandler([this] { m_report.say(session::silenceMessage(m_line)); });
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
    m_session.stopPublishing();
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
    if (!readLog() || !watchAlarms() || !readLogSettings()) {
        m_log.lock().release();
        return false;
    }
    m_report.say(QStringLiteral("Started on %1, logging into %2 (%3 records there).")
                     .arg(m_line.portDescription(), live)
                     .arg(m_session.nextRecordNo()));
    startPublishing();
    openLine();
    retireOldBackups();
    return true;
}

bool Logger::readLog() {
    // What preparing the files tells is said once it is clear the log can be kept.
    m_report.holdMessages();
    for (const QString &told : m_log.prepareFiles())
        m_report.showMessage(told);
    logbook::DatabaseError error;
    const std::optional<qint32> records =
        logbook::countLogRecords(m_log.filePath(logbook::kLiveLogFile), error);
    m_report.releaseMessages(records.has_value());
    if (!records) {
        m_report.say(
            QStringLiteral("%1 cannot be logged into: %2.").arg(native(error.file), error.reason));
        return false;
    }
    m_session.restartNumberingAt(*records);
    return true;
}

void Logger::startPublishing() {
    const publish::SettingsReading reading = m_session.publishSettings();
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
    m_session.startPublishing(reading.settings, publish::Publisher::Handlers{say, say});
}

bool Logger::watchAlarms() {
    const core::AlarmSettings settings = m_session.alarmSettings();
    for (const QString &mistake : settings.mistakes)
        m_report.say(mistake);
    if (!settings.mistakes.isEmpty())
        return false;
    m_session.watchAlarms(settings);
    return true;
}

bool Logger::readLogSettings() {
    const core::LogSettings settings = m_session.logSettings();
    for (const QString &mistake : settings.mistakes)
        m_report.say(mistake);
    m_keepDays = settings.keepDays;
    if (m_keepDays)
        m_report.say(QStringLiteral("Kept backups whose last reading is more than %1 days old are "
                                    "retired: their minute summaries are kept in %2, the logs "
                                    "removed.")
                         .arg(*m_keepDays)
                         .arg(native(m_log.filePath(logbook::kSummaryStoreFile))));
    return settings.mistakes.isEmpty();
}

void Logger::retireOldBackups() {
    if (!m_keepDays)
        return;
    const QString folder = QFileInfo(m_log.filePath(logbook::kLiveLogFile)).path();
    const qint64 now = m_clock.now().toSecsSinceEpoch();
    m_retirement.start([this, folder, days = *m_keepDays, now] {
        for (const QString &line :
             session::retireOldBackups(folder, days, now, stats::cacheFolder()))
            QMetaObject::invokeMethod(
                &m_retry, [this, line] { m_report.say(line); }, Qt::QueuedConnection);
    });
}

void Logger::alarmChanged(const core::AlarmEvent &, const QString &said) { m_report.say(said); }

void Logger::alarmCommandFailed(const QString &failure) { m_report.say(failure); }

void Logger::diskRunningOut(const QString &said) { m_report.say(said); }

void Logger::followReadings() {
    m_log.setRecordHandler([this](const logbook::LogRecord &record) {
        m_report.say(QStringLiteral("Record %1: %2 %3 %4 at %5")
                         .arg(record.no)
                         .arg(record.function, record.data, record.unit, record.time));
    });
}

void Logger::openLine() {
    if (m_session.openLine()) {
        m_retry.stop();
        m_toldClosed = false;
        m_report.say(QStringLiteral("%1 is open at 2400,n,8,1.").arg(m_line.portDescription()));
        return;
    }
    if (!m_toldClosed) {
        m_toldClosed = true;
        m_report.say(
            QStringLiteral("%1 cannot be opened: %2. %3 Trying again every second.")
                .arg(m_line.portDescription(), m_line.errorText(), session::portsSentence(m_line)));
    }
    m_retry.start();
}

void Logger::lineOff() {
    // Once the port's own callback has returned; a failed backup opens it again itself.
    if (!m_retry.isActive())
        QTimer::singleShot(0, &m_retry, [this] {
            if (!m_line.isOpen())
                openLine();
        });
}

} // namespace app
