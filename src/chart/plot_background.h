#pragma once

#include "chart/chart_settings.h"

#include <QStringView>

namespace chart {

class Surface;

/// Grid modes of DrawGrid.
enum GridMode : qint16 { kWipeGrid = 0, kHorizontalGrid = 1, kVerticalGrid = 2, kBothGrids = 3 };

/// The background colour named by the chooser (which clears the box; no match, no clearing),
/// then the grid the check boxes ask for with the axis lines; neither ticked: no grid, no axes.
void applyChartBackground(Surface &plot, const ChartSettings &settings);
/// The dashed grid (or, mode 0, the grid painted over in the background colour), then the two
/// black axis lines; leaves the pen black at width 5.
void drawGrid(Surface &plot, qint16 mode, QStringView background);

} // namespace chart
