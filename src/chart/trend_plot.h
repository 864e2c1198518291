#pragma once

#include "chart/chart_settings.h"

#include <QPointF>
#include <QStringView>

#include <array>

namespace chart {

class Surface;

inline constexpr int kTrendSlots = 300;
using TrendBuffer = std::array<float, kTrendSlots>;

/// The live trend as the plot shows it: a value for each slot from the left, the slot the next
/// reading goes into, and the lowest and highest reading since the extremes last started again.
class Trend {
  public:
    const TrendBuffer &values() const { return m_values; }
    qint16 count() const { return m_count; }
    float lowest() const { return m_lowest; }
    float highest() const { return m_highest; }
    /// A reading into the current slot, and into the extremes.
    void store(float value);
    /// On to the next slot; false when the last was passed and the curve starts at the left.
    bool advance();
    /// The curve starts again at the left.
    void restart() { m_count = 0; }
    /// The extremes start again with the next reading.
    void restartExtremes() { m_extremesRestart = true; }

  private:
    TrendBuffer m_values{};
    qint16 m_count = 0;
    float m_lowest = 0;
    float m_highest = 0;
    bool m_extremesRestart = true;
};

/// Where slot `slot` with value `value` lies in a plot box of outer size width x height twips,
/// for the scale hi (top) to lo (bottom). Not clamped: the surface clips.
QPointF trendPoint(int slot, double value, double hi, double lo, double width, double height);

/// Pen width 2 and the colour named by the line colour chooser (unchanged when none matches).
void applyTraceColour(Surface &plot, QStringView lineColour);
/// The whole live curve from slot 0 to count - 1, over what the box shows.
void redrawTrend(Surface &plot, const Trend &trend, const ChartSettings &settings);
/// The segment of the reading just stored in the current slot, from the slot before it, in the
/// line colour at width 2; none for slot 0 or when Vert Max equals Vert Min.
void drawNewestSegment(Surface &plot, const Trend &trend, const ChartSettings &settings);
/// The next slot; after the 300th the plot is wiped and the curve starts again at the left.
void advanceTrend(Surface &plot, Trend &trend, const ChartSettings &settings);

} // namespace chart
