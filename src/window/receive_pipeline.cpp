#include "window/receive_pipeline.h"

#include "chart/surface.h"
#include "core/number_text.h"
#include "core/reading_texts.h"
#include "log/log_database.h"
#include "meter/frame_decoder.h"
#include "meter/meter_frame.h"
#include "meter/serial_line.h"
#include "window/chart_handlers.h"
#include "window/log_count.h"
#include "window/port_control.h"
#include "window/scale_presets.h"
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

ReceivePipeline::ReceivePipeline(WindowModel &model, meter::SerialLine &line, ChartHandlers &chart,
                                 logbook::ReadingLog &log, std::function<void()> beep)
    : m_model(model), m_line(line), m_chart(chart), m_log(log), m_beep(std::move(beep)) {}

void ReceivePipeline::onSerialEvent() {
    WindowFields &f = m_model.fields;
    if (m_line.bytesWaiting() <= 0)
        return;
    const qint64 count = m_line.bytesWaiting();
    if (count < 1)
        return;
    const QByteArray chunk = m_line.readAll();
    m_model.setBackColour(ControlId::Picture4, f.LedPhase ? kLampRed : kLampGreen);
    f.LedPhase = !f.LedPhase;
    const std::optional<meter::MeterFrame> frame = meter::findFrame(chunk, qsizetype(count));
    if (!frame)
        return;
    meter::Reading r = meter::decodeFrame(*frame);

    showAnnunciators(r);
    m_model.setText(ControlId::Text4, r.Unit);
    m_model.setFontSize(ControlId::Label2,
                        r.HumidityFlag ? kHumidityFunctionPoints : kFunctionPoints);
    m_model.setText(ControlId::Label2, r.Function);
    bool overload = r.SoundOverload;

    if (!f.ScaleInitialised) {
        applyFirstReadingScale(r, overload);
        f.ScaleInitialised = true;
        f.LastFunction = r.Function;
        rescaleAndRedraw();
    }
    if (r.Function != f.LastFunction) {
        applyFunctionChangeScale(r, overload);
        rescaleAndRedraw();
        f.LastFunction = r.Function;
    }
    if (r.Function == core::kFunctionTemp && r.Unit != f.LastUnit) {
        applyTemperatureUnitScale(r);
        rescaleAndRedraw();
        f.LastUnit = r.Unit;
    }
    if (r.LuxFlag) {
        if (r.DotPosition != f.LightDotPos) {
            f.LightDotPos = qint16(r.DotPosition);
            setScale(lightRangePreset(r.DotPosition));
            rescaleAndRedraw();
        }
        if (r.LightOverload)
            overload = true;
        if (overload)
            r.Value = numberIn(m_model, ControlId::Text5);
    }

    m_model.setText(ControlId::Label4, r.ValueText);
    if (f.TrendCount >= 0 && f.TrendCount < qint16(f.TrendBuffer.size()))
        f.TrendBuffer[f.TrendCount] = r.Value;
    keepExtremes(r.Value);
    raiseAlarm(r.Value);
    m_chart.DrawNewestSegment();
    logReading(r, overload);
    m_chart.AdvanceTrend();
    if (++f.NextRecordNo >= logbook::kRecordLimit)
        m_log.enforceRecordLimit(*this);
    showLightGauges(r);
}

void ReceivePipeline::showAnnunciators(const meter::Reading &r) {
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
}

void ReceivePipeline::applyFirstReadingScale(const meter::Reading &r, bool overload) {
    if (r.LuxFlag) {
        setScale(lightPreset(r.X10, r.Value));
        m_model.fields.LightDotPos = qint16(r.DotPosition);
    }
    if (r.CelsiusFlag || r.FahrenheitFlag)
        setScale(temperatureFirstPreset(r.Value));
    if (r.HumidityFlag)
        setScale(humidityPreset());
    if (r.SoundFlag)
        setScale(soundPreset(overload, r.Value));
}

void ReceivePipeline::applyFunctionChangeScale(const meter::Reading &r, bool overload) {
    if (r.LuxFlag) {
        setScale(lightPreset(r.X10, r.Value));
        m_model.fields.LightDotPos = qint16(r.DotPosition);
    }
    if (r.CelsiusFlag || r.FahrenheitFlag)
        applyTemperatureUnitScale(r);
    if (r.HumidityFlag)
        setScale(humidityPreset());
    if (r.SoundFlag)
        setScale(soundPreset(overload, r.Value));
}

void ReceivePipeline::applyTemperatureUnitScale(const meter::Reading &r) {
    if (r.CelsiusFlag)
        setScale(celsiusPreset(r.Value));
    else if (r.FahrenheitFlag)
        setScale(fahrenheitPreset(r.Value));
}

void ReceivePipeline::setScale(const ScaleTexts &texts) {
    m_model.setText(ControlId::Text5, texts.vertMax);
    m_model.setText(ControlId::Text6, texts.vertMin);
}

void ReceivePipeline::rescaleAndRedraw() {
    m_chart.RescaleValueAxis();
    m_chart.ApplyChartBackground();
    m_chart.RedrawTrend();
}

void ReceivePipeline::keepExtremes(float value) {
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

void ReceivePipeline::raiseAlarm(float value) {
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

void ReceivePipeline::logReading(const meter::Reading &r, bool overload) {
    QString data =
        overload ? core::kOverloadText : core::singleText(r.X10 ? r.Value * 10 : r.Value);
    if (r.LuxFlag) {
        const QString vertMax = m_model.text(ControlId::Text5);
        if (overload) {
            if (vertMax == u"40000" || vertMax == u"4000") {
                data = core::kLightOverloadText;
                m_model.setText(ControlId::Label4, data);
            } else if (vertMax == u"400") {
                data = core::kLightOverloadPointText;
                m_model.setText(ControlId::Label4, data);
            } else if (vertMax == u"40") {
                data = core::kOverloadText;
                m_model.setText(ControlId::Label4, QStringLiteral("O.L."));
            }
        } else if (r.Value == 0) {
            data = QStringLiteral("0");
            m_model.setText(ControlId::Label4, data);
        }
    }
    m_log.appendReading(m_model.fields.NextRecordNo, r.Function, data, r.Unit);
}

void ReceivePipeline::showLightGauges(const meter::Reading &r) {
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

void ReceivePipeline::putLineOff() { window::putLineOff(m_model, m_line); }

void ReceivePipeline::resetAfterRecordLimit() { startLogAfresh(m_model, m_chart); }

} // namespace window
