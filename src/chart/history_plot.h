#pragma once

#include "chart/chart_settings.h"

#include <QStringList>

namespace chart {

class Surface;

/// The most records a history window holds.
inline constexpr int kHistorySlots = 300;

/// The smallest and largest value of a history window, by the leading-number rule.
struct HistoryExtremes {
    float min = 0;
    float max = 0;
};

/// The history window on the plot box: background and grid, then the curve from slot 0 (the
/// chosen record, at the left) towards older records, in the line colour with the live trend's
/// mapping; no curve when Vert Max equals Vert Min. A data text that is not a number as a whole
/// leaves out its two segments, but for the light overloads "OL" and "OL.", which lie at Vert
/// Max as the live trend drew them. At least two texts are expected.
HistoryExtremes plotHistoryWindow(Surface &plot, const QStringList &data,
                                  const ChartSettings &settings);

} // namespace chart
