#pragma once

#include "chart/chart_settings.h"

#include <QPointF>
#include <QStringView>

#include <array>

namespace chart {

class Surface;

inline constexpr int kTrendSlots = 300;
using TrendBuffer = std::array<float, kTrendSlots>;

/// Where slot `slot` with value `value` lies in a plot box of outer size width x height twips,
/// for the scale hi (top) to lo (bottom). Not clamped: the surface clips.
QPointF trendPoint(int slot, double value, double hi, double lo, double width, double height);

/// Pen width 2 and the colour named by the line colour chooser (unchanged when none matches).
void applyTraceColour(Surface &plot, QStringView lineColour);
/// The whole live curve from slot 0 to count - 1, over what the box shows.
void redrawTrend(Surface &plot, const TrendBuffer &buffer, qint16 count,
                 const ChartSettings &settings);
/// The segment of the reading just stored in slot `count`, from the slot before it, in the
/// line colour at width 2; none for slot 0 or when Vert Max equals Vert Min.
void drawNewestSegment(Surface &plot, const TrendBuffer &buffer, qint16 count,
                       const ChartSettings &settings);
/// The next slot; after the 300th the plot is wiped and the curve starts again at the left.
void advanceTrend(Surface &plot, qint16 &count, const ChartSettings &settings);

} // namespace chart
