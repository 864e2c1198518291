#pragma once

#include "statistics/figures.h"

#include <QString>

#include <vector>

namespace stats {

/// A shape of the interval chart: a rectangle from (x1, y1) to (x2, y2) for bars and bands, a
/// line for the rest. In the units of the box the chart is laid out in (pixels, twips).
struct ChartShape {
    enum class Kind { Axis, Bar, Mark, Band, Mean, Hi, Low };
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

/// The figures of the intervals as a chart in the box at (left, top), one panel per function
/// and unit, stacked, on one time axis: sound as Leq bars with the interval's Lmax and Lmin
/// marked, the other quantities as their mean joined from interval to interval over their
/// min-max band; the groups' HI and LOW as lines across. `textHeight` in the box's units.
ChartDrawing intervalChart(const std::vector<IntervalFigures> &intervals, double left, double top,
                           double width, double height, double textHeight);

/// What the chart shows, in words, for a screen reader: each panel's quantity, its range and
/// its highest and lowest interval.
QString intervalChartDescription(const std::vector<IntervalFigures> &intervals);

} // namespace stats
