#include "session/logging_session.h"

#include "core/alarm_rules.h"
#include "core/meter_settings.h"
#include "core/number_text.h"
#include "core/reading_texts.h"
#include "core/settings_file.h"
#include "log/log_database.h"
#include "meter/frame_decoder.h"
#include "meter/meter_frame.h"
#include "meter/serial_line.h"
#include "statistics/log_history.h"

#include <QDateTime>

namespace session {

namespace {

constexpr int kReceiveThreshold = 28;
const QString kLineSettings = QStringLiteral("2400,n,8,1");
constexpr int kSilenceSeconds = meter::SerialLine::kSilenceLimitMs / 1000;

} // namespace

QString portsSentence(const meter::SerialLine &line) {
    const QString ports = line.portsPresent();
    return ports.isEmpty() ? QStringLiteral("No serial port was found on this machine: plug in "
                                            "the meter's cable or its USB-serial adapter.")
                           : QStringLiteral("Serial ports on this machine: %1.").arg(ports);
}

QString silenceMessage(const meter::SerialLine &line) {
    return QStringLiteral("No data arrives on %1: nothing has come for %2 seconds. Check that the "
                          "meter is on with its RS232 output switched on, and that its cable is "
                          "in this port. %3 The line stays open and takes readings as soon as "
                          "they come.")
        .arg(line.portDescription())
        .arg(kSilenceSeconds)
        .arg(portsSentence(line));
}

QString alarmSentence(const core::AlarmEvent &event, const core::ZoneClock &zone) {
    const QString since = core::isoTimeWithOffset(zone.at(event.since));
    const bool raised = event.change == core::AlarmEvent::Change::Raised;
    if (event.quantity.isEmpty())
        return raised ? QStringLiteral("Alarm silent raised: the line is open and no reading has "
                                       "come since %1.")
                            .arg(since)
                      : QStringLiteral("Alarm silent cleared: readings come again (none from %1 "
                                       "to %2).")
                            .arg(since, core::isoTimeWithOffset(zone.at(event.at)));
    const auto level = [&event](double v) {
        return event.unit.isEmpty() ? core::doubleText(v) : core::doubleText(v) + u' ' + event.unit;
    };
    const QString value = event.value ? level(*event.value)
                          : event.function == core::kFunctionLight
                              ? QStringLiteral("an overload")
                              : QStringLiteral("another quantity measured");
    if (raised)
        return QStringLiteral("Alarm %1 raised: %2, at or %3 %4 since %5 (peak %6).")
            .arg(event.name, value, event.above ? QStringLiteral("above") : QStringLiteral("below"),
                 level(event.limit), since, level(event.peak));
    return QStringLiteral("Alarm %1 cleared: %2; it held from %3 to %4 (peak %5).")
        .arg(event.name, value, since, core::isoTimeWithOffset(zone.at(event.at)),
             level(event.peak));
}

LoggingSession::LoggingSession(meter::SerialLine &line, logbook::ReadingLog &log)
    : m_line(line), m_log(log), m_disk(log.directory()) {
    m_running.start();
    m_log.setCommittedHandler([this] {
        if (m_publisher)
            m_publisher->recordsCommitted();
    });
    m_silence.setSingleShot(true);
    QObject::connect(&m_silence, &QTimer::timeout, &m_silence, [this] { raiseSilent(); });
}

LoggingSession::~LoggingSession() {
    if (m_publisher)
        m_log.writeQueued();
    m_log.setCommittedHandler({});
}

bool LoggingSession::openLine() {
    m_line.setReceiveThreshold(kReceiveThreshold);
    m_settingsValid = m_line.setSettings(kLineSettings);
    m_line.setBinaryInput();
    if (!m_settingsValid || !m_line.open())
        return false;
    if (m_silentSeconds && !m_silentSince)
        m_silence.start(int(*m_silentSeconds * 1000));
    return true;
}

QString LoggingSession::openFailure() const {
    if (!m_settingsValid)
        return QStringLiteral("%1 could not be opened: the line settings \"%2\" are not valid.")
            .arg(m_line.portDescription(), kLineSettings);
    const int port = m_line.portNumber();
    return QStringLiteral("%1 could not be opened: %2. %3 To use another device as COM%4, start "
                          "the program with ENVMETER_COM%4 set to it, for example "
                          "ENVMETER_COM%4=/dev/ttyUSB0.")
        .arg(m_line.portDescription(), m_line.errorText(), portsSentence(m_line))
        .arg(port);
}

void LoggingSession::onSerialEvent() {
    if (m_line.bytesWaiting() <= 0)
        return;
    const qint64 count = m_line.bytesWaiting();
    if (count < 1)
        return;
    const QByteArray chunk = m_line.readAll();
    m_view->bytesArrived();
    const std::optional<meter::MeterFrame> frame = meter::findFrame(chunk, qsizetype(count));
    if (!frame)
        return;
    meter::Reading r = meter::decodeFrame(*frame);
    m_view->readingDecoded(r);
    bool overload = r.SoundOverload;

    TakingState &s = m_state;
    if (!s.scaleInitialised) {
        applyFunctionScale(r, overload, true);
        s.scaleInitialised = true;
        s.lastFunction = r.Function;
        m_view->scaleChanged();
    }
    if (r.Function != s.lastFunction) {
        applyFunctionScale(r, overload, false);
        m_view->scaleChanged();
        s.lastFunction = r.Function;
    }
    if (r.Function == core::kFunctionTemp && r.Unit != s.lastUnit) {
        applyTemperatureUnitScale(r);
        m_view->scaleChanged();
        s.lastUnit = r.Unit;
    }
    if (r.LuxFlag) {
        if (r.DotPosition != s.lightDotPos) {
            s.lightDotPos = qint16(r.DotPosition);
            setScale(lightRangePreset(r.DotPosition));
            m_view->scaleChanged();
        }
        if (r.LightOverload)
            overload = true;
        if (overload)
            r.Value = scaleTopValue();
    }

    m_view->readingValued(r);
    logReading(r, overload);
    m_view->readingLogged();
    if (++s.nextRecordNo >= logbook::kRecordLimit)
        m_log.enforceRecordLimit(*this);
    m_view->readingTaken(r);
}

void LoggingSession::applyFunctionScale(const meter::Reading &r, bool overload, bool first) {
    if (r.LuxFlag) {
        setScale(lightPreset(r.X10, r.Value));
        m_state.lightDotPos = qint16(r.DotPosition);
    }
    // The first reading's temperature scale is set by its value; a later one by its unit.
    if ((r.CelsiusFlag || r.FahrenheitFlag) && first)
        setScale(temperatureFirstPreset(r.Value));
    else if (r.CelsiusFlag || r.FahrenheitFlag)
        applyTemperatureUnitScale(r);
    if (r.HumidityFlag)
        setScale(humidityPreset());
    if (r.SoundFlag)
        setScale(soundPreset(overload, r.Value));
}

void LoggingSession::applyTemperatureUnitScale(const meter::Reading &r) {
    if (r.CelsiusFlag)
        setScale(celsiusPreset(r.Value));
    else if (r.FahrenheitFlag)
        setScale(fahrenheitPreset(r.Value));
}

void LoggingSession::setScale(const ScaleTexts &texts) {
    m_scale = texts;
    m_view->setScale(texts);
}

float LoggingSession::scaleTopValue() const {
    return float(core::leadingNumber(m_view->scaleTop(m_scale.vertMax)));
}

void LoggingSession::logReading(const meter::Reading &r, bool overload) {
    QString data =
        overload ? core::kOverloadText : core::singleText(r.X10 ? r.Value * 10 : r.Value);
    if (r.LuxFlag) {
        const QString vertMax = m_view->scaleTop(m_scale.vertMax);
        if (overload) {
            if (vertMax == u"40000" || vertMax == u"4000") {
                data = core::kLightOverloadText;
                m_view->valueShownAs(data);
            } else if (vertMax == u"400") {
                data = core::kLightOverloadPointText;
                m_view->valueShownAs(data);
            } else if (vertMax == u"40") {
                data = core::kOverloadText;
                m_view->valueShownAs(QStringLiteral("O.L."));
            }
        } else if (r.Value == 0) {
            data = QStringLiteral("0");
            m_view->valueShownAs(data);
        }
    }
    const logbook::LogRecord record =
        m_log.appendReading(m_state.nextRecordNo, r.Function, data, r.Unit);
    if (m_logged)
        stats::appendEntry(*m_logged, record);
    watchReading(record);
    if (const std::optional<QString> said = m_disk.readingLogged(m_running.elapsed()))
        m_view->diskRunningOut(*said);
}

void LoggingSession::watchReading(const logbook::LogRecord &record) {
    // With no alarm set, a reading costs nothing more.
    if (!m_watch && !m_silentSeconds)
        return;
    const std::optional<qint64> clock = core::clockSeconds(record.time);
    if (!clock)
        return;
    const qint64 taken =
        m_zone.instantOf(*clock, m_lastTaken.value_or(QDateTime::currentSecsSinceEpoch()));
    m_lastTaken = taken;
    if (m_silentSeconds)
        m_silence.start(int(*m_silentSeconds * 1000));
    if (m_silentSince) {
        core::AlarmEvent cleared;
        cleared.change = core::AlarmEvent::Change::Cleared;
        cleared.name = QStringLiteral("silent");
        cleared.since = *std::exchange(m_silentSince, std::nullopt);
        cleared.at = taken;
        tellAlarm(cleared);
    }
    if (!m_watch)
        return;
    const bool overload = core::isOverloadText(record.data);
    const std::optional<double> level = overload ? std::nullopt : core::strictNumber(record.data);
    if (!overload && !level)
        return;
    for (const core::AlarmEvent &event : m_watch->take(record.function, record.unit, level, taken))
        if (event.change != core::AlarmEvent::Change::Passed)
            tellAlarm(event);
}

void LoggingSession::raiseSilent() {
    if (!m_line.isOpen() || m_silentSince)
        return;
    const qint64 now = QDateTime::currentSecsSinceEpoch();
    core::AlarmEvent raised;
    raised.name = QStringLiteral("silent");
    raised.since = m_lastTaken.value_or(now - qint64(*m_silentSeconds));
    raised.at = now;
    m_silentSince = raised.since;
    tellAlarm(raised);
}

void LoggingSession::tellAlarm(const core::AlarmEvent &event) {
    m_view->alarmChanged(event, alarmSentence(event, m_zone));
    if (m_publisher)
        m_publisher->alarmChanged(event);
    if (m_command)
        m_command->run(event, m_zone);
}

core::AlarmSettings LoggingSession::alarmSettings() const {
    const QString file = core::settingsFile();
    return core::readAlarmSettings(
        file, m_meterName.isEmpty() ? QString() : core::meterSettingsFile(file, m_meterName));
}

core::LogSettings LoggingSession::logSettings() const {
    const QString file = core::settingsFile();
    return core::readLogSettings(
        file, m_meterName.isEmpty() ? QString() : core::meterSettingsFile(file, m_meterName));
}

void LoggingSession::watchAlarms(const core::AlarmSettings &settings) {
    m_watch = settings.rules.empty() ? nullptr : std::make_unique<core::AlarmWatch>(settings.rules);
    m_alarmNames.clear();
    for (const core::AlarmRule &rule : settings.rules)
        m_alarmNames.append(rule.name);
    m_silentSeconds = settings.silentSeconds;
    if (m_silentSeconds)
        m_alarmNames.append(QStringLiteral("silent"));
    m_silence.stop();
    m_silentSince.reset();
    m_lastTaken.reset();
    if (m_silentSeconds && m_line.isOpen())
        m_silence.start(int(*m_silentSeconds * 1000));
    m_command.reset();
    if (!settings.command.trimmed().isEmpty())
        m_command = std::make_unique<AlarmCommand>(
            // Named as it is published.
            settings.command, publishSettings().settings.meterName(),
            [this](const QString &failure) { m_view->alarmCommandFailed(failure); });
}

void LoggingSession::putLineOff() {
    m_line.close();
    m_view->lineOff();
}

void LoggingSession::resumeAfterFailedBackup() {
    if (openLine())
        m_view->lineOnAgain();
}

void LoggingSession::restartNumberingAt(qint32 next) {
    // The window counts the log again at each activation: the same count, the same log.
    if (next == m_state.nextRecordNo && m_logged)
        return;
    m_state.nextRecordNo = next;
    m_logged.reset();
    if (next != 0)
        return;
    // Room for a full log at once: its pages are taken as records come, never copied.
    m_logged.emplace().entries.reserve(logbook::kRecordLimit);
}

void LoggingSession::resetAfterRecordLimit() {
    // Off the receive path, from what was logged rather than read again: the statistics of the
    // history find the backup kept already.
    stats::keepInCacheSoon(m_log.filePath(logbook::kBackupLogFile), stats::cacheFolder(),
                           std::move(m_logged));
    restartNumberingAt(0);
    m_view->logStartedAfresh();
}

publish::SettingsReading LoggingSession::publishSettings() const {
    const QString file = core::settingsFile();
    return m_meterName.isEmpty()
               ? publish::readPublishSettings(file)
               : publish::readMeterPublishSettings(file, core::meterSettingsFile(file, m_meterName),
                                                   m_meterName);
}

void LoggingSession::startPublishing(const publish::PublishSettings &settings,
                                     publish::Publisher::Handlers handlers) {
    m_publisher.reset();
    m_publisher = std::make_unique<publish::Publisher>(settings, m_log.directory(),
                                                       std::move(handlers), m_alarmNames);
}

void LoggingSession::stopPublishing(int waitMs) {
    if (!m_publisher)
        return;
    m_publisher->setStopWait(waitMs);
    m_publisher.reset();
}

} // namespace session
