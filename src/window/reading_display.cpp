#include "window/reading_display.h"

#include "chart/surface.h"
#include "core/number_text.h"
#include "meter/frame_decoder.h"
#include "window/chart_handlers.h"
#include "window/log_count.h"
#include "window/port_control.h"
#include "window/window_model.h"

#include <cmath>

namespace window {

namespace {

constexpr core::Rgb kLampRed{255, 0, 0};
constexpr core::Rgb kLampGreen{0, 255, 0};
constexpr double kFunctionPoints = 50;
constexpr double kHumidityFunctionPoints = 36;

/// The display's digits read as one number: "25.00" gives 2500.
qint16 displayCounts(const QString &valueText) {
    int counts = 0;
    for (QChar c : valueText) {
        if (c >= u'0' && c <= u'9')
            counts = std::min(counts * 10 + (c.unicode() - u'0'), 32767);
    }
    return qint16(counts);
}

} // namespace

ReadingDisplay::ReadingDisplay(WindowModel &model, meter::SerialLine &line, ChartHandlers &chart,
                               std::function<void()> beep)
    : m_model(model), m_line(line), m_chart(chart), m_beep(std::move(beep)) {}

void ReadingDisplay::bytesArrived() {
    WindowFields &f = m_model.fields;
    m_model.setBackColour(ControlId::receiveLamp, f.ledPhase ? kLampRed : kLampGreen);
    f.ledPhase = !f.ledPhase;
}

void ReadingDisplay::readingDecoded(const meter::Reading &r) {
    m_model.setVisible(ControlId::rs232Annunciator, r.Rs232);
    m_model.setVisible(ControlId::holdAnnunciator, r.Hold);
    if (r.LowBattery) {
        m_model.setVisible(ControlId::batteryFine, false);
        m_model.setVisible(ControlId::batteryLow, true);
    } else {
        m_model.setVisible(ControlId::batteryLow, false);
        m_model.setVisible(ControlId::batteryFine, true);
    }
    m_model.setVisible(ControlId::x10Annunciator, r.X10);
    m_model.setText(ControlId::unit, r.Unit);
    m_model.setFontSize(ControlId::functionName,
                        r.HumidityFlag ? kHumidityFunctionPoints : kFunctionPoints);
    m_model.setText(ControlId::functionName, r.Function);
}

void ReadingDisplay::setScale(const session::ScaleTexts &texts) {
    m_model.setText(ControlId::vertMax, texts.vertMax);
    m_model.setText(ControlId::vertMin, texts.vertMin);
}

QString ReadingDisplay::scaleTop(const QString &) const { return m_model.text(ControlId::vertMax); }

void ReadingDisplay::scaleChanged() {
    m_chart.rescaleValueAxis();
    m_chart.applyChartBackground();
    m_chart.redrawTrend();
}

void ReadingDisplay::readingValued(const meter::Reading &r) {
    m_model.setText(ControlId::displayValue, r.ValueText);
    m_chart.storeReading(r.Value);
    showExtremes();
    raiseAlarm(r.Value);
    m_chart.drawNewestSegment();
}

void ReadingDisplay::valueShownAs(const QString &text) {
    m_model.setText(ControlId::displayValue, text);
}

void ReadingDisplay::readingLogged() { m_chart.advanceTrend(); }

void ReadingDisplay::showExtremes() {
    const chart::Trend &trend = m_chart.trend();
    m_model.setPanelText(4, core::singleText(trend.lowest()));
    m_model.setPanelText(6, core::singleText(trend.highest()));
}

void ReadingDisplay::raiseAlarm(float value) {
    const float hi = m_model.highAlarmLimit();
    const float low = m_model.lowAlarmLimit();
    if (value >= hi || value <= low) {
        m_model.setPanelText(2, QStringLiteral("ON"));
        m_model.setVisible(value >= hi ? ControlId::highAlarmLamp : ControlId::lowAlarmLamp, true);
        if (m_beep)
            m_beep();
    } else {
        m_model.setPanelText(2, QStringLiteral("OFF"));
        m_model.setVisible(ControlId::highAlarmLamp, false);
        m_model.setVisible(ControlId::lowAlarmLamp, false);
    }
}

void ReadingDisplay::readingTaken(const meter::Reading &r) {
    if (r.ValueText.isEmpty())
        return;
    WindowFields &f = m_model.fields;
    const qint16 counts = displayCounts(r.ValueText);
    m_chart.drawPercentWedge(0);
    if (!r.LuxFlag) {
        m_model.setText(ControlId::gaugeValue, QStringLiteral("NULL"));
        m_chart.drawLevelBar(0, 0);
        f.lastLevelPct = 0;
        return;
    }
    const qint16 pct = qint16(std::floor(counts / 4000.0 * 100));
    m_model.setText(ControlId::gaugeValue, QString::number(pct) + QStringLiteral(" %"));
    if (pct < f.lastLevelPct) {
        // Erased in the background colour; the fill colour keeps the pen meanwhile.
        chart::Surface &bar = m_chart.levelBar();
        bar.setFillColour(bar.foreColour());
        bar.setForeColour(bar.backColour());
        m_chart.drawLevelBar(pct, f.lastLevelPct);
        bar.setForeColour(bar.fillColour());
    } else {
        m_chart.drawLevelBar(0, pct);
    }
    f.lastLevelPct = pct;
    m_chart.drawPercentWedge(pct);
}

void ReadingDisplay::lineOff() { putLineOff(m_model, m_line); }

void ReadingDisplay::lineOnAgain() { showLineOn(m_model); }

void ReadingDisplay::logStartedAfresh() { startLogAfresh(m_model, m_chart); }

void ReadingDisplay::alarmChanged(const core::AlarmEvent &event, const QString &said) {
    if (event.change == core::AlarmEvent::Change::Raised)
        m_raised[event.name] = said;
    else
        m_raised.erase(event.name);
    if (m_alarmsShown) {
        QStringList shown;
        for (const auto &[name, sentence] : m_raised)
            shown.append(sentence);
        m_alarmsShown(shown);
    }
}

void ReadingDisplay::alarmCommandFailed(const QString &failure) {
    if (m_tell)
        m_tell(failure);
}

void ReadingDisplay::diskRunningOut(const QString &said) {
    if (m_tell)
        m_tell(said);
}

void ReadingDisplay::forgetAlarms() {
    m_raised.clear();
    if (m_alarmsShown)
        m_alarmsShown({});
}

} // namespace window
