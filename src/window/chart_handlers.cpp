#include "window/chart_handlers.h"

#include "chart/frame_axes.h"
#include "chart/gauges.h"
#include "chart/history_plot.h"
#include "chart/plot_background.h"
#include "chart/surface.h"
#include "chart/trend_plot.h"
#include "core/number_text.h"
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

ChartHandlers::ChartHandlers(WindowModel &model, chart::Surface &plot, chart::Surface &frame,
                             chart::Surface &wedge, chart::Surface &bar)
    : m_model(model), m_plot(plot), m_frame(frame), m_wedge(wedge), m_bar(bar) {
    m_plot.setRepaintHandler([this] { paintPlot(); });
    m_frame.setRepaintHandler([this] { paintChartAxes(); });
    m_wedge.setRepaintHandler([this] { drawPercentWedge(0); });
}

chart::ChartSettings ChartHandlers::settings() const {
    return {m_model.text(ControlId::vertMax),
            m_model.text(ControlId::vertMin),
            chosenText(m_model.control(ControlId::backgroundColour)),
            chosenText(m_model.control(ControlId::lineColour)),
            m_model.control(ControlId::xGrid).value,
            m_model.control(ControlId::yGrid).value};
}

void ChartHandlers::applyChartBackground() { chart::applyChartBackground(m_plot, settings()); }

void ChartHandlers::applyTraceColour() { chart::applyTraceColour(m_plot, settings().lineColour); }

void ChartHandlers::redrawTrend() { chart::redrawTrend(m_plot, m_trend, settings()); }

void ChartHandlers::rescaleValueAxis() {
    chart::rescaleValueAxis(m_frame, m_model.fields.valueLabels, m_model.text(ControlId::vertMax),
                            m_model.text(ControlId::vertMin));
}

void ChartHandlers::drawNewestSegment() { chart::drawNewestSegment(m_plot, m_trend, settings()); }

void ChartHandlers::advanceTrend() { chart::advanceTrend(m_plot, m_trend, settings()); }

void ChartHandlers::drawLevelBar(qint16 fromPct, qint16 toPct) {
    chart::drawLevelBar(m_bar, fromPct, toPct);
}

void ChartHandlers::drawPercentWedge(qint16 pct) {
    if (pct == 0) {
        m_model.setForeColour(ControlId::gaugeValue, core::kRed);
        m_model.setText(ControlId::gaugeValue, QStringLiteral("0 %"));
    }
    chart::paintWedgeCells(m_wedge, pct);
}

logbook::DatabaseError ChartHandlers::showHistoryWindow(const QString &liveLog) {
    WindowFields &f = m_model.fields;
    if (!f.historyRequest || f.logRecordCount < 1)
        return {};
    const qint32 pos = f.historyPosition;
    const logbook::LogSlice slice =
        logbook::readSliceBackward(liveLog, pos > 0 ? qint64(f.logRecordCount) - pos - 1 : 0,
                                   f.historyArrays, m_model.text(ControlId::vertMax));
    f.historyCount = qint16(slice.count);
    if (slice.error || f.historyCount < 2) {
        f.historyRequest = false;
        return slice.error;
    }
    QStringList data;
    for (int i = 0; i < f.historyCount; ++i)
        data.append(f.historyArrays[i].data);
    const chart::HistoryExtremes extremes = chart::plotHistoryWindow(m_plot, data, settings());
    f.historyMax = extremes.max;
    f.historyMin = extremes.min;
    m_model.setPanelText(4, core::singleText(f.historyMin));
    m_model.setPanelText(6, core::singleText(f.historyMax));
    f.historyShown = true;
    f.historyRequest = false;
    return {};
}

void ChartHandlers::clicked(ControlId id) {
    switch (id) {
    case ControlId::xGrid:
        onXGridToggled();
        break;
    case ControlId::yGrid:
        onYGridToggled();
        break;
    case ControlId::backgroundColour:
        onBackgroundColourChosen();
        break;
    case ControlId::lineColour:
        onLineColourChosen();
        break;
    case ControlId::autoGraph:
        onAutoGraph();
        break;
    default:
        break;
    }
}

void ChartHandlers::keyPressed(ControlId id, int keyAscii) {
    if (id != ControlId::vertMin || keyAscii != kEnter)
        return;
    rescaleValueAxis();
    applyChartBackground();
    redrawTrend();
}

void ChartHandlers::onXGridToggled() {
    const QString background = settings().background;
    chart::drawGrid(m_plot, chart::kWipeGrid, background);
    const bool y = ticked(m_model.control(ControlId::yGrid));
    if (ticked(m_model.control(ControlId::xGrid)))
        chart::drawGrid(m_plot, y ? chart::kBothGrids : chart::kHorizontalGrid, background);
    else if (y)
        chart::drawGrid(m_plot, chart::kVerticalGrid, background);
}

void ChartHandlers::onYGridToggled() {
    const QString background = settings().background;
    chart::drawGrid(m_plot, chart::kWipeGrid, background);
    const bool x = ticked(m_model.control(ControlId::xGrid));
    if (ticked(m_model.control(ControlId::yGrid)))
        chart::drawGrid(m_plot, x ? chart::kBothGrids : chart::kVerticalGrid, background);
    else if (x)
        chart::drawGrid(m_plot, chart::kHorizontalGrid, background);
}

void ChartHandlers::onBackgroundColourChosen() {
    applyChartBackground();
    redrawTrend();
    m_model.requestFocus(ControlId::clock);
}

void ChartHandlers::onLineColourChosen() {
    applyTraceColour();
    m_model.requestFocus(ControlId::clock);
}

void ChartHandlers::onAutoGraph() {
    rescaleValueAxis();
    applyChartBackground();
    redrawTrend();
}

void ChartHandlers::paintPlot() {
    applyChartBackground();
    redrawTrend();
}

void ChartHandlers::paintChartAxes() {
    chart::repaintChartFrame(m_frame, m_plot, m_model.fields.valueLabels,
                             m_model.fields.timeLabels);
}

} // namespace window
