#include "session/logging_session.h"

#include "core/meter_settings.h"
#include "core/number_text.h"
#include "core/reading_texts.h"
#include "log/log_database.h"
#include "meter/frame_decoder.h"
#include "meter/meter_frame.h"
#include "meter/serial_line.h"

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

LoggingSession::LoggingSession(meter::SerialLine &line, logbook::ReadingLog &log,
                               TakingState &state)
    : m_line(line), m_log(log), m_state(state) {
    m_log.setCommittedHandler([this] {
        if (m_publisher)
            m_publisher->recordsCommitted();
    });
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
    return m_settingsValid && m_line.open();
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
    if (!s.ScaleInitialised) {
        applyFirstReadingScale(r, overload);
        s.ScaleInitialised = true;
        s.LastFunction = r.Function;
        m_view->scaleChanged();
    }
    if (r.Function != s.LastFunction) {
        applyFunctionChangeScale(r, overload);
        m_view->scaleChanged();
        s.LastFunction = r.Function;
    }
    if (r.Function == core::kFunctionTemp && r.Unit != s.LastUnit) {
        applyTemperatureUnitScale(r);
        m_view->scaleChanged();
        s.LastUnit = r.Unit;
    }
    if (r.LuxFlag) {
        if (r.DotPosition != s.LightDotPos) {
            s.LightDotPos = qint16(r.DotPosition);
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
    if (++s.NextRecordNo >= logbook::kRecordLimit)
        m_log.enforceRecordLimit(*this);
    m_view->readingTaken(r);
}

void LoggingSession::applyFirstReadingScale(const meter::Reading &r, bool overload) {
    if (r.LuxFlag) {
        setScale(lightPreset(r.X10, r.Value));
        m_state.LightDotPos = qint16(r.DotPosition);
    }
    if (r.CelsiusFlag || r.FahrenheitFlag)
        setScale(temperatureFirstPreset(r.Value));
    if (r.HumidityFlag)
        setScale(humidityPreset());
    if (r.SoundFlag)
        setScale(soundPreset(overload, r.Value));
}

void LoggingSession::applyFunctionChangeScale(const meter::Reading &r, bool overload) {
    if (r.LuxFlag) {
        setScale(lightPreset(r.X10, r.Value));
        m_state.LightDotPos = qint16(r.DotPosition);
    }
    if (r.CelsiusFlag || r.FahrenheitFlag)
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
    m_log.appendReading(m_state.NextRecordNo, r.Function, data, r.Unit);
}

void LoggingSession::putLineOff() {
    m_line.close();
    m_view->lineOff();
}

void LoggingSession::resumeAfterFailedBackup() {
    if (openLine())
        m_view->lineOnAgain();
}

void LoggingSession::resetAfterRecordLimit() {
    m_state.NextRecordNo = 0;
    m_view->logStartedAfresh();
}

publish::SettingsReading LoggingSession::publishSettings() const {
    const QString file = publish::settingsFile();
    return m_meterName.isEmpty()
               ? publish::readPublishSettings(file)
               : publish::readMeterPublishSettings(file, core::meterSettingsFile(file, m_meterName),
                                                   m_meterName);
}

void LoggingSession::startPublishing(const publish::PublishSettings &settings,
                                     publish::Publisher::Handlers handlers) {
    m_publisher.reset();
    m_publisher =
        std::make_unique<publish::Publisher>(settings, m_log.directory(), std::move(handlers));
}

void LoggingSession::stopPublishing(int waitMs) {
    if (!m_publisher)
        return;
    m_publisher->setStopWait(waitMs);
    m_publisher.reset();
}

} // namespace session
