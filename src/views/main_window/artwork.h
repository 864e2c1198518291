#pragma once

#include "core/colour_table.h"

#include <QPixmap>

namespace views {

/// The program's own pictures, painted in code at the given pixel density.
enum class ToolbarIcon {
    Exit,
    CommPort,
    PrintStep,
    OffLineOnLine,
    DataSaveLoad,
    ClearScreen,
    ClearAll
};

QPixmap toolbarIcon(ToolbarIcon icon, qreal ratio = 1);  ///< 32 x 32
QPixmap batteryPicture(bool low, qreal ratio = 1);       ///< 32 x 20
QPixmap alarmIcon(bool high, qreal ratio = 1);           ///< 32 x 32
QPixmap colourSwatch(core::Rgb colour, qreal ratio = 1); ///< 28 x 17
QPixmap helpButtonIcon(qreal ratio = 1);                 ///< 32 x 32

} // namespace views
