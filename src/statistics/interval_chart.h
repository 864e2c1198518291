#pragma once

#include "core/zone_clock.h"
#include "statistics/figures.h"

#include <QString>

#include <vector>

namespace stats {

/// A shape of the interval chart: a rectangle from (x1, y1) to (x2, y2) for bars and bands, a
/// line for the rest. In the units of the box the chart is laid out in (pixels, twips).
struct ChartShape {
    enum class Kind { Axis, Grid, Bar, Mark, Band, Mean, Hi, Low, Event };
    Kind kind;
    double x1, y1, x2, y2;
};

/// A text of the chart, its left end at x (right end when `alignRight`), its baseline at y.
struct ChartText {
    double x, y;
    QString text;
    bool alignRight = false;
};

struct ChartDrawing {
    std::vector<ChartShape> shapes;
    std::vector<ChartText> texts;
};

/// Round values for a scale from `low` to `high`, at most `most` of them, spanning both: the
/// first at or below `low`, the last at or above `high`, 1, 2 or 5 times a power of ten apart.
std::vector<double> valueTicks(double low, double high, int most);

/// A mark of the time axis: its instant, its label ("14:00", "12-05"), and the date under it
/// where the day changes ("12-05"); an hour the clock read twice labelled with its offset.
struct TimeTick {
    qint64 at = 0;
    QString label;
    QString date;
};
/// Marks on the calendar boundaries of the local clock between `start` and `end`, as many as fit
/// (at most `most`): minutes, hours, days or weeks (Mondays), in both passes of an hour lived
/// twice.
std::vector<TimeTick> timeTicks(qint64 start, qint64 end, const core::ZoneClock &zone, int most);

/// What the chart draws besides the intervals: the events, shaded on their quantity's panel,
/// and the zone whose calendar the time axis follows.
struct ChartContext {
    std::vector<EventFigures> events;
    core::ZoneClock zone;
};

/// The least height of a panel's plot, in pixels of a screen.
inline constexpr int kLeastPanelPixels = 150;

/// The figures of the intervals as a chart in the box at (left, top), one panel per function
/// and unit, stacked, on one time axis marked on calendar boundaries: sound as Leq bars from
/// the panel's floor with the interval's Lmax and Lmin marked, the other quantities as their
/// mean joined from interval to interval (not across a gap) over their min-max band. Each
/// panel is scaled to its readings, with round ticks; a HI or LOW within that range is a line
/// across, one outside it is named at the panel's edge. `textHeight` in the box's units.
ChartDrawing intervalChart(const std::vector<IntervalFigures> &intervals, double left, double top,
                           double width, double height, double textHeight,
                           const ChartContext &context = {});
/// How many panels the intervals make.
int chartPanels(const std::vector<IntervalFigures> &intervals);

/// What the chart shows, in words, for a screen reader: each panel's quantity, its range and
/// its highest and lowest interval.
QString intervalChartDescription(const std::vector<IntervalFigures> &intervals);

} // namespace stats
