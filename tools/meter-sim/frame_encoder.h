#pragma once

#include "meter/meter_frame.h"

#include <array>

namespace metersim {

/// What the meter's display shows, as the simulator sets it.
struct Display {
    /// Digit cells 1..4 from the left: '0'..'9', 'O' (the overload "O", lit as a 0), 'L' (the
    /// light overload letter) or ' ' (blank).
    std::array<char, 4> cells{' ', ' ', ' ', ' '};
    bool minus = false;
    bool pointBefore3 = false;
    bool pointBefore4 = false;
    bool rs232 = false;
    bool hold = false;
    bool x10 = false;
    bool lowBattery = false;
    bool sound = false;
    bool humidity = false;
    bool celsius = false;
    bool fahrenheit = false;
    bool lux = false;
};

/// The meter sends each display twice: the 28 bytes of one receive event of the program, one
/// reading.
inline constexpr int kFramesPerReading = 2;
inline constexpr int kReadingBytes = kFramesPerReading * meter::kFrameLength;

/// Whether encodeDisplay can show a cell character.
bool isDisplayCell(char cell);

/// The 14-byte frame the meter sends for a display, each byte with its position in the high
/// nibble. The exact inverse of the program's decoder.
meter::MeterFrame encodeDisplay(const Display &display);

} // namespace metersim
