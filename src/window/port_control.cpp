#include "window/port_control.h"

#include "core/message_boxes.h"
#include "log/logging_lock.h"
#include "meter/serial_line.h"
#include "window/chart_handlers.h"
#include "window/window_model.h"

namespace window {

namespace {

constexpr int kReceiveThreshold = 28;
const QString kLineSettings = QStringLiteral("2400,n,8,1");
const QString kOffLine = QStringLiteral("OFFLine");
const QString kOnLine = QStringLiteral("ONLine");
constexpr int kSilenceSeconds = meter::SerialLine::kSilenceLimitMs / 1000;

} // namespace

QString portsSentence(const meter::SerialLine &line) {
    const QString ports = line.portsPresent();
    return ports.isEmpty() ? QStringLiteral("No serial port was found on this machine: plug in "
                                            "the meter's cable or its USB-serial adapter.")
                           : QStringLiteral("Serial ports on this machine: %1.").arg(ports);
}

void putLineOff(WindowModel &model, meter::SerialLine &line) {
    model.setText(ControlId::Text9, kOffLine);
    line.close();
    model.setBackColour(ControlId::Picture4, kLampOff);
}

bool lineIsOff(const WindowModel &model) { return model.text(ControlId::Text9) == kOffLine; }

PortControl::PortControl(WindowModel &model, meter::SerialLine &line, ChartHandlers &chart,
                         logbook::LoggingLock &lock, core::MessageBoxes &messages,
                         std::function<void()> logTakenOver)
    : m_model(model), m_line(line), m_chart(chart), m_lock(lock), m_messages(messages),
      m_logTakenOver(std::move(logTakenOver)) {}

void PortControl::SwitchCommPort() {
    const bool wasCom1 = m_model.text(ControlId::Text8) == u"COM1";
    if (m_line.isOpen())
        m_line.close();
    m_lock.release();
    m_line.setPortNumber(wasCom1 ? 2 : 1);
    m_model.setText(ControlId::Text8, wasCom1 ? QStringLiteral("COM2") : QStringLiteral("COM1"));
    m_model.setText(ControlId::Text9, kOffLine);
}

void PortControl::ToggleLine() {
    if (m_model.text(ControlId::Text8) == u"NULL")
        return;
    if (m_line.isOpen()) {
        putLineOff(m_model, m_line);
        m_lock.release();
        return;
    }
    if (!takeLoggingLock())
        return;
    if (openLine())
        return;
    // The line stays chosen but closed; the user may try again.
    m_lock.release();
    m_messages.showMessage(openFailure());
}

bool PortControl::takeLoggingLock() {
    if (m_lock.held())
        return true;
    if (!m_lock.take()) {
        m_messages.showMessage(m_lock.refusal());
        return false;
    }
    if (m_logTakenOver)
        m_logTakenOver();
    return true;
}

bool PortControl::openLine() {
    m_model.setText(ControlId::Text9, kOnLine);
    m_line.setReceiveThreshold(kReceiveThreshold);
    m_settingsValid = m_line.setSettings(kLineSettings);
    m_line.setBinaryInput();
    if (m_model.fields.HistoryShown) {
        m_chart.ApplyChartBackground();
        m_chart.RedrawTrend();
        m_model.fields.HistoryShown = false;
    }
    if (m_settingsValid && m_line.open())
        return true;
    m_model.setText(ControlId::Text9, kOffLine);
    return false;
}

QString PortControl::openFailure() const {
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

void PortControl::lineLost(const QString &reason) {
    // The line stays open as the user left it, and comes back by itself.
    m_model.setBackColour(ControlId::Picture4, kLampOff);
    m_messages.showMessage(QStringLiteral("%1 has gone away (%2). Every reading received is in "
                                          "the log. The program reconnects by itself as soon as "
                                          "the device is back; press \"OffLine/OnLine\" to stop.")
                               .arg(m_line.portDescription(), reason));
}

void PortControl::lineSilent() {
    m_messages.showMessage(
        QStringLiteral("No data arrives on %1: nothing has come for %2 seconds. Check that the "
                       "meter is on with its RS232 output switched on, and that its cable is in "
                       "this port. %3 The line stays open and takes readings as soon as they "
                       "come.")
            .arg(m_line.portDescription())
            .arg(kSilenceSeconds)
            .arg(portsSentence(m_line)));
}

} // namespace window
