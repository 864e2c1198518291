#pragma once

#include <QString>

namespace chart {

/// What the chart reads from the window's controls each time it draws.
struct ChartSettings {
    QString vertMax;    ///< Text5
    QString vertMin;    ///< Text6
    QString background; ///< text of the background chooser ImageCombo1
    QString lineColour; ///< text of the line colour chooser ImageCombo2
    int xGrid = 0;      ///< value of Check2; only 1 counts as ticked
    int yGrid = 0;      ///< value of Check3
};

} // namespace chart
