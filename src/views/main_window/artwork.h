#pragma once

#include "core/colour_table.h"

#include <QPixmap>

namespace views {

/// The program's own pictures, painted in code at the given pixel density.
/// In the order of the toolbar's buttons.
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
/// An open book with a cross: the help window's button that closes it. 32 x 32.
QPixmap helpCloseIcon(qreal ratio = 1);
/// The meter, for the splash window. 120 x 200.
QPixmap meterPicture(qreal ratio = 1);

} // namespace views
