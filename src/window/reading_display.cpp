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

float numberIn(const WindowModel &model, ControlId id) {
    return float(core::leadingNumber(model.text(id)));
}

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
    m_model.setBackColour(ControlId::Picture4, f.LedPhase ? kLampRed : kLampGreen);
    f.LedPhase = !f.LedPhase;
}

void ReadingDisplay::readingDecoded(const meter::Reading &r) {
    m_model.setVisible(ControlId::Label22, r.Rs232);
    m_model.setVisible(ControlId::Label23, r.Hold);
    if (r.LowBattery) {
        m_model.setVisible(ControlId::Picture5, false);
        m_model.setVisible(ControlId::Picture8, true);
    } else {
        m_model.setVisible(ControlId::Picture8, false);
        m_model.setVisible(ControlId::Picture5, true);
    }
    m_model.setVisible(ControlId::Label21, r.X10);
    m_model.setText(ControlId::Text4, r.Unit);
    m_model.setFontSize(ControlId::Label2,
                        r.HumidityFlag ? kHumidityFunctionPoints : kFunctionPoints);
    m_model.setText(ControlId::Label2, r.Function);
}

void ReadingDisplay::setScale(const session::ScaleTexts &texts) {
    m_model.setText(ControlId::Text5, texts.vertMax);
    m_model.setText(ControlId::Text6, texts.vertMin);
}

QString ReadingDisplay::scaleTop(const QString &) const { return m_model.text(ControlId::Text5); }

void ReadingDisplay::scaleChanged() {
    m_chart.RescaleValueAxis();
    m_chart.ApplyChartBackground();
    m_chart.RedrawTrend();
}

void ReadingDisplay::readingValued(const meter::Reading &r) {
    WindowFields &f = m_model.fields;
    m_model.setText(ControlId::Label4, r.ValueText);
    if (f.TrendCount >= 0 && f.TrendCount < qint16(f.TrendBuffer.size()))
        f.TrendBuffer[f.TrendCount] = r.Value;
    keepExtremes(r.Value);
    raiseAlarm(r.Value);
    m_chart.DrawNewestSegment();
}

void ReadingDisplay::valueShownAs(const QString &text) { m_model.setText(ControlId::Label4, text); }

void ReadingDisplay::readingLogged() { m_chart.AdvanceTrend(); }

void ReadingDisplay::keepExtremes(float value) {
    WindowFields &f = m_model.fields;
    if (f.MinMaxRestart) {
        f.RunMin = f.RunMax = value;
        f.MinMaxRestart = false;
    } else {
        if (value < f.RunMin)
            f.RunMin = value;
        if (value > f.RunMax)
            f.RunMax = value;
    }
    m_model.setPanelText(4, core::singleText(f.RunMin));
    m_model.setPanelText(6, core::singleText(f.RunMax));
}

void ReadingDisplay::raiseAlarm(float value) {
    const float hi = numberIn(m_model, ControlId::Text3);
    const float low = numberIn(m_model, ControlId::Text2);
    if (value >= hi || value <= low) {
        m_model.setPanelText(2, QStringLiteral("ON"));
        m_model.setVisible(value >= hi ? ControlId::Picture9 : ControlId::Picture10, true);
        if (m_beep)
            m_beep();
    } else {
        m_model.setPanelText(2, QStringLiteral("OFF"));
        m_model.setVisible(ControlId::Picture9, false);
        m_model.setVisible(ControlId::Picture10, false);
    }
}

void ReadingDisplay::readingTaken(const meter::Reading &r) {
    if (r.ValueText.isEmpty())
        return;
    WindowFields &f = m_model.fields;
    const qint16 counts = displayCounts(r.ValueText);
    m_chart.DrawPercentWedge(0);
    if (!r.LuxFlag) {
        m_model.setText(ControlId::Label18, QStringLiteral("NULL"));
        m_chart.DrawLevelBar(0, 0);
        f.LastLevelPct = 0;
        return;
    }
    const qint16 pct = qint16(std::floor(counts / 4000.0 * 100));
    m_model.setText(ControlId::Label18, QString::number(pct) + QStringLiteral(" %"));
    if (pct < f.LastLevelPct) {
        // Erased in the background colour; the fill colour keeps the pen meanwhile.
        chart::Surface &bar = m_chart.levelBar();
        bar.setFillColour(bar.foreColour());
        bar.setForeColour(bar.backColour());
        m_chart.DrawLevelBar(pct, f.LastLevelPct);
        bar.setForeColour(bar.fillColour());
    } else {
        m_chart.DrawLevelBar(0, pct);
    }
    f.LastLevelPct = pct;
    m_chart.DrawPercentWedge(pct);
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
    if (m_commandFailed)
        m_commandFailed(failure);
}

void ReadingDisplay::forgetAlarms() {
    m_raised.clear();
    if (m_alarmsShown)
        m_alarmsShown({});
}

} // namespace window
