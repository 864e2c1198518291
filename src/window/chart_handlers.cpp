#include "window/chart_handlers.h"

#include "chart/frame_axes.h"
#include "chart/gauges.h"
#include "chart/history_plot.h"
#include "chart/plot_background.h"
#include "chart/surface.h"
#include "chart/trend_plot.h"
#include "core/number_text.h"
#include "core/rounding.h"
#include "log/connection.h"
#include "log/record_window.h"
#include "window/window_model.h"

namespace window {

namespace {

constexpr int kEnter = 13;

QString chosenText(const ControlState &combo) {
    return combo.value >= 1 && combo.value <= combo.items.size() ? combo.items[combo.value - 1].text
                                                                 : QString();
}

bool ticked(const ControlState &box) { return box.value == 1; }

} // namespace

ChartHandlers::ChartHandlers(WindowModel &model, chart::Surface &picture1, chart::Surface &picture2,
                             chart::Surface &picture3, chart::Surface &picture6)
    : m_model(model), m_plot(picture1), m_frame(picture2), m_wedge(picture3), m_bar(picture6) {
    m_plot.setRepaintHandler([this] { Picture1Paint(); });
    m_frame.setRepaintHandler([this] { Picture2Paint(); });
    m_wedge.setRepaintHandler([this] { DrawPercentWedge(0); });
}

chart::ChartSettings ChartHandlers::settings() const {
    return {m_model.text(ControlId::Text5),
            m_model.text(ControlId::Text6),
            chosenText(m_model.control(ControlId::ImageCombo1)),
            chosenText(m_model.control(ControlId::ImageCombo2)),
            m_model.control(ControlId::Check2).value,
            m_model.control(ControlId::Check3).value};
}

void ChartHandlers::ApplyChartBackground() { chart::ApplyChartBackground(m_plot, settings()); }

void ChartHandlers::ApplyTraceColour() { chart::ApplyTraceColour(m_plot, settings().lineColour); }

void ChartHandlers::RedrawTrend() {
    chart::RedrawTrend(m_plot, m_model.fields.TrendBuffer, m_model.fields.TrendCount, settings());
}

void ChartHandlers::RescaleValueAxis() {
    chart::RescaleValueAxis(m_frame, m_model.fields.ValueLabels, m_model.text(ControlId::Text5),
                            m_model.text(ControlId::Text6));
}

void ChartHandlers::DrawNewestSegment() {
    chart::DrawNewestSegment(m_plot, m_model.fields.TrendBuffer, m_model.fields.TrendCount,
                             settings());
}

void ChartHandlers::AdvanceTrend() {
    chart::AdvanceTrend(m_plot, m_model.fields.TrendCount, settings());
}

void ChartHandlers::DrawLevelBar(qint16 fromPct, qint16 toPct) {
    chart::DrawLevelBar(m_bar, fromPct, toPct);
}

void ChartHandlers::DrawPercentWedge(qint16 pct) {
    if (pct == 0) {
        m_model.setForeColour(ControlId::Label18, core::kRed);
        m_model.setText(ControlId::Label18, QStringLiteral("0 %"));
    }
    chart::paintWedgeCells(m_wedge, pct);
}

logbook::DatabaseError ChartHandlers::ShowHistoryWindow(const QString &liveLog) {
    WindowFields &f = m_model.fields;
    if (!f.HistoryRequest || f.LogRecordCount < 1)
        return {};
    const qint32 pos = core::roundHalfEvenToInt(core::leadingNumber(m_model.panelText(8)));
    logbook::Connection log;
    logbook::RecordSet *records = log.open(liveLog) ? log.openRecordSet() : nullptr;
    if (records) {
        records->moveFirst();
        if (pos > 0)
            records->move(qint64(f.LogRecordCount) - pos - 1);
        f.HistoryCount = qint16(
            logbook::readWindowBackward(*records, f.HistoryArrays, m_model.text(ControlId::Text5)));
    }
    const logbook::DatabaseError failure = log.error();
    log.close();
    if (failure || f.HistoryCount < 2) {
        f.HistoryRequest = false;
        return failure;
    }
    QStringList data;
    for (int i = 0; i < f.HistoryCount; ++i)
        data.append(f.HistoryArrays[i].data);
    const chart::HistoryExtremes extremes = chart::PlotHistoryWindow(m_plot, data, settings());
    f.HistoryMax = extremes.max;
    f.HistoryMin = extremes.min;
    m_model.setPanelText(4, core::singleText(f.HistoryMin));
    m_model.setPanelText(6, core::singleText(f.HistoryMax));
    f.HistoryShown = true;
    f.HistoryRequest = false;
    return {};
}

void ChartHandlers::clicked(ControlId id) {
    switch (id) {
    case ControlId::Check2:
        Check2Click();
        break;
    case ControlId::Check3:
        Check3Click();
        break;
    case ControlId::ImageCombo1:
        ImageCombo1Click();
        break;
    case ControlId::ImageCombo2:
        ImageCombo2Click();
        break;
    case ControlId::Command1:
        Command1Click();
        break;
    default:
        break;
    }
}

void ChartHandlers::keyPressed(ControlId id, int keyAscii) {
    if (id != ControlId::Text6 || keyAscii != kEnter)
        return;
    RescaleValueAxis();
    ApplyChartBackground();
    RedrawTrend();
}

void ChartHandlers::Check2Click() {
    const QString background = settings().background;
    chart::DrawGrid(m_plot, chart::kWipeGrid, background);
    const bool y = ticked(m_model.control(ControlId::Check3));
    if (ticked(m_model.control(ControlId::Check2)))
        chart::DrawGrid(m_plot, y ? chart::kBothGrids : chart::kHorizontalGrid, background);
    else if (y)
        chart::DrawGrid(m_plot, chart::kVerticalGrid, background);
}

void ChartHandlers::Check3Click() {
    const QString background = settings().background;
    chart::DrawGrid(m_plot, chart::kWipeGrid, background);
    const bool x = ticked(m_model.control(ControlId::Check2));
    if (ticked(m_model.control(ControlId::Check3)))
        chart::DrawGrid(m_plot, x ? chart::kBothGrids : chart::kVerticalGrid, background);
    else if (x)
        chart::DrawGrid(m_plot, chart::kHorizontalGrid, background);
}

void ChartHandlers::ImageCombo1Click() {
    ApplyChartBackground();
    RedrawTrend();
    m_model.requestFocus(ControlId::Text11);
}

void ChartHandlers::ImageCombo2Click() {
    ApplyTraceColour();
    m_model.requestFocus(ControlId::Text11);
}

void ChartHandlers::Command1Click() {
    RescaleValueAxis();
    ApplyChartBackground();
    RedrawTrend();
}

void ChartHandlers::Picture1Paint() {
    ApplyChartBackground();
    RedrawTrend();
}

void ChartHandlers::Picture2Paint() {
    chart::RepaintChartFrame(m_frame, m_plot, m_model.fields.ValueLabels,
                             m_model.fields.TimeLabels);
}

} // namespace window
