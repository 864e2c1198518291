#include "ui/main_window/port_control.h"

#include "core/message_boxes.h"
#include "meter/serial_line.h"
#include "ui/main_window/chart_handlers.h"
#include "ui/main_window/window_model.h"

namespace ui {

namespace {

constexpr int kReceiveThreshold = 28;
const QString kLineSettings = QStringLiteral("2400,n,8,1");
const QString kOffLine = QStringLiteral("OFFLine");
const QString kOnLine = QStringLiteral("ONLine");
constexpr core::Rgb kLampIdle{0, 0, 255};

} // namespace

void putLineOff(WindowModel &model, meter::SerialLine &line) {
    model.setText(ControlId::Text9, kOffLine);
    line.close();
    model.setBackColour(ControlId::Picture4, kLampIdle);
}

PortControl::PortControl(WindowModel &model, meter::SerialLine &line, ChartHandlers &chart,
                         core::MessageBoxes &messages)
    : m_model(model), m_line(line), m_chart(chart), m_messages(messages) {}

void PortControl::SwitchCommPort() {
    const bool wasCom1 = m_model.text(ControlId::Text8) == u"COM1";
    if (m_line.isOpen())
        m_line.close();
    m_line.setPortNumber(wasCom1 ? 2 : 1);
    m_model.setText(ControlId::Text8, wasCom1 ? QStringLiteral("COM2") : QStringLiteral("COM1"));
    m_model.setText(ControlId::Text9, kOffLine);
}

void PortControl::ToggleLine() {
    if (m_model.text(ControlId::Text8) == u"NULL")
        return;
    if (m_line.isOpen())
        putLineOff(m_model, m_line);
    else
        openLine();
}

void PortControl::openLine() {
    m_model.setText(ControlId::Text9, kOnLine);
    m_line.setReceiveThreshold(kReceiveThreshold);
    const bool settingsValid = m_line.setSettings(kLineSettings);
    m_line.setBinaryInput();
    if (m_model.fields.HistoryShown) {
        m_chart.ApplyChartBackground();
        m_chart.RedrawTrend();
        m_model.fields.HistoryShown = false;
    }
    if (settingsValid && m_line.open())
        return;
    // The line stays chosen but closed; the user may try again.
    m_model.setText(ControlId::Text9, kOffLine);
    m_messages.showMessage(
        settingsValid
            ? QStringLiteral("%1 could not be opened: %2.")
                  .arg(m_line.portDescription(), m_line.errorText())
            : QStringLiteral("%1 could not be opened: the line settings \"%2\" are not valid.")
                  .arg(m_line.portDescription(), kLineSettings));
}

void PortControl::lineLost(const QString &reason) {
    putLineOff(m_model, m_line);
    m_messages.showMessage(QStringLiteral("The line to %1 was lost: %2. Every reading received "
                                          "is in the log. Press \"OffLine/OnLine\" to open it "
                                          "again once the meter is connected.")
                               .arg(m_line.portDescription(), reason));
}

} // namespace ui
