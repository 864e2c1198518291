#pragma once

#include <QLatin1String>
#include <QStringView>

#include <array>
#include <cstdint>
#include <optional>

namespace core {

/// An RGB triple of 8-bit components.
struct Rgb {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    friend bool operator==(const Rgb &, const Rgb &) = default;
};

inline constexpr Rgb kBlack{0, 0, 0};
/// The red of the large displays, the annunciators and the gauge's value.
inline constexpr Rgb kRed{255, 0, 0};

struct NamedColour {
    QLatin1String name;
    Rgb rgb;
};

/// The sixteen colours of the background and line colour choosers, in the choosers' order.
/// "Cray" is the grey entry and is spelled so.
inline constexpr std::array<NamedColour, 16> kColourTable{{
    {QLatin1String("Aqua"), {10, 232, 245}},
    {QLatin1String("Black"), {0, 0, 0}},
    {QLatin1String("Blue"), {0, 0, 255}},
    {QLatin1String("Cray"), {124, 124, 123}},
    {QLatin1String("Fuchsia"), {240, 80, 152}},
    {QLatin1String("Green"), {0, 255, 0}},
    {QLatin1String("Lime"), {56, 198, 42}},
    {QLatin1String("Maroon"), {169, 0, 0}},
    {QLatin1String("Navy"), {29, 13, 242}},
    {QLatin1String("Olive"), {104, 133, 15}},
    {QLatin1String("Purple"), {118, 3, 125}},
    {QLatin1String("Red"), {255, 0, 0}},
    {QLatin1String("Silver"), {177, 177, 177}},
    {QLatin1String("Teal"), {16, 139, 129}},
    {QLatin1String("White"), {255, 255, 255}},
    {QLatin1String("Yellow"), {255, 255, 0}},
}};

/// The colour of a chooser text, matched exactly (case-sensitive, whole text). A text that
/// names no colour gives no colour, never a default.
std::optional<Rgb> colourByName(QStringView name);
/// The name of a colour of the table; none for a colour outside it.
std::optional<QLatin1String> colourName(Rgb colour);

} // namespace core
