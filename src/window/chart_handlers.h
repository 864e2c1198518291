#pragma once

#include "chart/chart_settings.h"
#include "chart/trend_plot.h"
#include "log/database_error.h"
#include "window/control_id.h"

namespace chart {
class Surface;
}

namespace window {

class WindowModel;

/// The chart's procedures on the main window's state, and the handlers of the chart settings
/// and of the picture boxes' repaints.
class ChartHandlers {
  public:
    ChartHandlers(WindowModel &model, chart::Surface &plot, chart::Surface &frame,
                  chart::Surface &wedge, chart::Surface &bar);

    /// What the chart reads from the controls, as they stand now.
    chart::ChartSettings settings() const;

    /// The live trend the plot shows, which only the chart writes.
    const chart::Trend &trend() const { return m_trend; }
    /// A reading into the trend's current slot and its extremes.
    void storeReading(float value) { m_trend.store(value); }
    /// The curve starts again at the left (the plot was wiped).
    void restartTrend() { m_trend.restart(); }
    /// The curve and its extremes start again: a new log.
    void startTrendAfresh() {
        m_trend.restart();
        m_trend.restartExtremes();
    }

    void applyChartBackground();
    void applyTraceColour();
    void redrawTrend();
    void rescaleValueAxis();
    void drawNewestSegment();
    void advanceTrend();
    void drawLevelBar(qint16 fromPct, qint16 toPct);
    /// 0 resets the wedge and its caption "0 %" in red; other values light rows.
    void drawPercentWedge(qint16 pct);
    /// When the slider asks for it: up to 300 records of the log at `liveLog`, ending at the
    /// one panel 8 counts back from the last, drawn in place of the live curve, with their
    /// smallest and largest value in panels 4 and 6. The file is open only for the call; what
    /// failed to be read is returned for the caller to tell.
    logbook::DatabaseError showHistoryWindow(const QString &liveLog);
    /// The level bar's surface, whose pen the receive pipeline saves and restores.
    chart::Surface &levelBar() { return m_bar; }

    /// A click on one of the chart's controls (check boxes, colour choosers, "Auto Graph").
    void clicked(ControlId id);
    /// A key in a text box, by its character code; only Enter in Vert Min does anything.
    void keyPressed(ControlId id, int keyAscii);

    /// XGrid ticked or unticked: the horizontal grid lines drawn or wiped.
    void onXGridToggled();
    /// YGrid ticked or unticked: the vertical grid lines drawn or wiped.
    void onYGridToggled();

  private:
    /// A background colour chosen: the plot cleared to it, the grid and the trend drawn again.
    void onBackgroundColourChosen();
    /// A line colour chosen: the trend's pen from the next segment on.
    void onLineColourChosen();
    /// "Auto Graph": the chart drawn again on the scale in Vert Max and Vert Min.
    void onAutoGraph();
    /// The plot box shown again: its background, grid and live trend drawn again.
    void paintPlot();
    /// The chart's frame shown again: its axes drawn again.
    void paintChartAxes();

    WindowModel &m_model;
    chart::Surface &m_plot;
    chart::Surface &m_frame;
    chart::Surface &m_wedge;
    chart::Surface &m_bar;
    chart::Trend m_trend;
};

} // namespace window
