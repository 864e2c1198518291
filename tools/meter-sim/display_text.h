#pragma once

#include "frame_encoder.h"

#include <QString>
#include <QStringView>

#include <optional>

namespace metersim {

/// Reads the digit part of a display as written in scripts: an optional "-", then up to four
/// cells ('0'..'9', 'O', 'L', or '_' for a blank) with decimal points between them, right-aligned
/// to the four cells, so "23.5" is a blank, 2, 3, point, 5. A point may stand before cell 3 or
/// before cell 4 (both may be lit). Only the cells, points and sign of the result are set.
/// On a malformed text, returns nothing and says why in *error.
std::optional<Display> parseDisplayText(QStringView text, QString *error);

/// The display of a value shown with a fixed number of decimals (0..3), right-aligned with the
/// leading cells blank as the meter shows them (5 with two decimals is " 5.00"). Values beyond
/// four digits are cut to the largest the display can show.
Display displayOfValue(double value, int decimals);

} // namespace metersim
