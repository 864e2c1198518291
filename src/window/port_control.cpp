#include "window/port_control.h"

#include "core/message_boxes.h"
#include "log/logging_lock.h"
#include "meter/serial_line.h"
#include "session/logging_session.h"
#include "window/chart_handlers.h"
#include "window/window_model.h"

namespace window {

namespace {

const QString kOffLine = QStringLiteral("OFFLine");
const QString kOnLine = QStringLiteral("ONLine");

} // namespace

void putLineOff(WindowModel &model, meter::SerialLine &line) {
    model.setText(ControlId::lineState, kOffLine);
    line.close();
    model.setBackColour(ControlId::receiveLamp, kLampOff);
}

void showLineOn(WindowModel &model) { model.setText(ControlId::lineState, kOnLine); }

bool lineIsOff(const WindowModel &model) { return model.text(ControlId::lineState) == kOffLine; }

PortControl::PortControl(WindowModel &model, session::LoggingSession &session, ChartHandlers &chart,
                         core::MessageBoxes &messages, std::function<void()> logTakenOver)
    : m_model(model), m_session(session), m_line(session.line()), m_chart(chart),
      m_lock(session.log().lock()), m_messages(messages), m_logTakenOver(std::move(logTakenOver)) {}

void PortControl::switchCommPort() {
    const bool wasCom1 = m_model.text(ControlId::port) == u"COM1";
    if (m_line.isOpen())
        m_line.close();
    m_lock.release();
    m_line.setPortNumber(wasCom1 ? 2 : 1);
    m_model.setText(ControlId::port, wasCom1 ? QStringLiteral("COM2") : QStringLiteral("COM1"));
    m_model.setText(ControlId::lineState, kOffLine);
}

void PortControl::toggleLine() {
    if (m_model.text(ControlId::port) == u"NULL")
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
    m_messages.showMessage(m_session.openFailure());
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
    showLineOn(m_model);
    if (m_model.fields.historyShown) {
        m_chart.applyChartBackground();
        m_chart.redrawTrend();
        m_model.fields.historyShown = false;
    }
    if (m_session.openLine())
        return true;
    m_model.setText(ControlId::lineState, kOffLine);
    return false;
}

void PortControl::lineLost(const QString &reason) {
    // The line stays open as the user left it, and comes back by itself.
    m_model.setBackColour(ControlId::receiveLamp, kLampOff);
    m_messages.showMessage(QStringLiteral("%1 has gone away (%2). Every reading received is in "
                                          "the log. The program reconnects by itself as soon as "
                                          "the device is back; press \"OffLine/OnLine\" to stop.")
                               .arg(m_line.portDescription(), reason));
}

void PortControl::lineSilent() { m_messages.showMessage(session::silenceMessage(m_line)); }

} // namespace window
