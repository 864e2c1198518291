#pragma once

#include <QString>

namespace chart {

/// What the chart reads from the window's controls each time it draws.
struct ChartSettings {
    QString vertMax;    ///< vertMax
    QString vertMin;    ///< vertMin
    QString background; ///< text of the background chooser backgroundColour
    QString lineColour; ///< text of the line colour chooser lineColour
    int xGrid = 0;      ///< value of xGrid; only 1 counts as ticked
    int yGrid = 0;      ///< value of yGrid
};

} // namespace chart
