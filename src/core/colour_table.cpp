#include "core/colour_table.h"

namespace core {

std::optional<Rgb> colourByName(QStringView name) {
    for (const NamedColour &colour : kColourTable) {
        if (name == colour.name)
            return colour.rgb;
    }
    return std::nullopt;
}

std::optional<QLatin1String> colourName(Rgb rgb) {
    for (const NamedColour &colour : kColourTable) {
        if (rgb == colour.rgb)
            return colour.name;
    }
    return std::nullopt;
}

} // namespace core
