#pragma once

#include <QtGlobal>

namespace chart {

class Surface;

/// Paints the level bar between two percentages of its inner width, over its full height, in
/// its pen colour; leftwards from `fromPct` when `toPct` is smaller.
void drawLevelBar(Surface &bar, qint16 fromPct, qint16 toPct);

/// The cells of the percent wedge: with 0 all 55 in the base colour, otherwise the first
/// pct / 10 rows (halves to even) in the lit colour over them.
void paintWedgeCells(Surface &wedge, qint16 pct);

} // namespace chart
