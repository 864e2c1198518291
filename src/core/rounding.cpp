#include "core/rounding.h"

#include <cmath>
#include <limits>

namespace core {

double roundHalfEven(double value) {
    const double below = std::floor(value);
    const double fraction = value - below; // exact for every finite double
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(below, 2.0) != 0.0))
        return below + 1.0;
    return below;
}

int roundHalfEvenToInt(double value) {
    if (std::isnan(value))
        return 0;
    const double rounded = roundHalfEven(value);
    if (rounded <= std::numeric_limits<int>::min())
        return std::numeric_limits<int>::min();
    if (rounded >= std::numeric_limits<int>::max())
        return std::numeric_limits<int>::max();
    return static_cast<int>(rounded);
}

} // namespace core
