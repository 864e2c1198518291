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
QPointF trendPoint(int slot, float value, double hi, double lo, double width, double height);

/// Pen width 2 and the colour named by the line colour chooser (unchanged when none matches).
void ApplyTraceColour(Surface &plot, QStringView lineColour);
/// The whole live curve from slot 0 to count - 1, over what the box shows.
void RedrawTrend(Surface &plot, const TrendBuffer &buffer, qint16 count,
                 const ChartSettings &settings);
/// One reading into the trend: stored in the next slot, its segment drawn; the 300th reading
/// wipes the plot and the curve starts again at the left.
void AppendToTrend(Surface &plot, TrendBuffer &buffer, qint16 &count, float value,
                   const ChartSettings &settings);

} // namespace chart
