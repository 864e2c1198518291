#pragma once

namespace core {

/// Rounds to the nearest whole number, halves to the even neighbour (2.5 -> 2, 3.5 -> 4,
/// -2.5 -> -2). Used wherever the program rounds.
double roundHalfEven(double value);

/// roundHalfEven as an int, saturated at the int range; NaN gives 0.
int roundHalfEvenToInt(double value);

} // namespace core
