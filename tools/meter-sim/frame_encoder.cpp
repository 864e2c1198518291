#include "frame_encoder.h"

#include <QtGlobal>

namespace metersim {

namespace {

// The seven segments of a digit, by the usual lettering (a top, b upper right, c lower right,
// d bottom, e lower left, f upper left, g middle).
enum Segment : unsigned {
    A = 1u << 0,
    B = 1u << 1,
    C = 1u << 2,
    D = 1u << 3,
    E = 1u << 4,
    F = 1u << 5,
    G = 1u << 6
};

unsigned segmentsOf(char cell) {
    switch (cell) {
    case '0':
    case 'O':
        return A | B | C | D | E | F;
    case '1':
        return B | C;
    case '2':
        return A | B | D | E | G;
    case '3':
        return A | B | C | D | G;
    case '4':
        return B | C | F | G;
    case '5':
        return A | C | D | F | G;
    case '6':
        return A | C | D | E | F | G;
    case '7':
        return A | B | C;
    case '8':
        return A | B | C | D | E | F | G;
    case '9':
        return A | B | C | D | F | G;
    case 'L':
        return D | E | F;
    default:
        return 0;
    }
}

bool has(unsigned segments, Segment s) { return (segments & s) != 0; }

// The digit's two nibbles on the line: the first byte carries e, f, a in bits 2, 1, 0 (bit 3
// belongs to a flag); the second carries d, c, g, b in bits 3, 2, 1, 0.
std::uint8_t firstNibble(unsigned s) {
    return static_cast<std::uint8_t>(has(s, E) << 2 | has(s, F) << 1 | has(s, A));
}
std::uint8_t secondNibble(unsigned s) {
    return static_cast<std::uint8_t>(has(s, D) << 3 | has(s, C) << 2 | has(s, G) << 1 | has(s, B));
}

} // namespace

bool isDisplayCell(char cell) { return cell == ' ' || segmentsOf(cell) != 0; }

meter::MeterFrame encodeDisplay(const Display &d) {
    std::array<std::uint8_t, meter::kFrameLength> nibbles{};
    nibbles[0] = static_cast<std::uint8_t>(d.humidity << 3 | d.rs232);
    const bool digitFlags[4] = {d.minus, d.x10, d.pointBefore3, d.pointBefore4};
    for (int n = 0; n < 4; ++n) {
        const unsigned s = segmentsOf(d.cells[static_cast<std::size_t>(n)]);
        nibbles[static_cast<std::size_t>(1 + 2 * n)] =
            static_cast<std::uint8_t>(digitFlags[n] << 3 | firstNibble(s));
        nibbles[static_cast<std::size_t>(2 + 2 * n)] = secondNibble(s);
    }
    nibbles[10] = static_cast<std::uint8_t>(d.sound << 3);
    nibbles[11] = d.hold;
    nibbles[12] = d.lowBattery;
    nibbles[13] = static_cast<std::uint8_t>(d.fahrenheit << 2 | d.celsius << 1 | d.lux);

    meter::MeterFrame frame;
    for (std::size_t i = 0; i < nibbles.size(); ++i)
        frame.bytes[i] = static_cast<std::uint8_t>((i + 1) << 4 | nibbles[i]);
    return frame;
}

} // namespace metersim
