#include "demo_cycle.h"

#include "display_text.h"

#include <array>
#include <cmath>
#include <numbers>

namespace metersim {

namespace {

enum class Function { Sound, Humidity, Celsius, Fahrenheit, Light };

struct Phase {
    std::uint64_t frames;
    Function function;
    double base;  ///< level at the start of the phase
    double drift; ///< change of the level over the phase
    double swing; ///< amplitude of the slow wave around the level
    double noise; ///< amplitude of the frame-to-frame jitter
    int decimals; ///< digits after the point; -1: two below 100, one from 100 (sound)
    bool x10 = false;
    bool hold = false;
    bool lowBattery = false;
    bool overloadLetter = false; ///< shows the light overload "OL" instead of a value
};

// At 2400 baud a frame takes 58 ms: 100 frames are about 6 s. A phase that follows one of the
// same function starts where it ended (wave periods are whole), so values never jump.
constexpr std::array kPhases{
    Phase{480, Function::Sound, 62.0, 0.0, 9.0, 0.3, -1},
    Phase{120, Function::Sound, 62.0, 50.0, 3.0, 0.3, -1},
    Phase{40, Function::Sound, 131.2, 0.0, 0.4, 0.1, 1}, // above the range: "O.L"
    Phase{40, Function::Sound, 31.5, 0.0, 0.6, 0.1, 2},  // below the range: "O.L"
    Phase{100, Function::Sound, 68.2, 0.0, 0.0, 0.0, 2, false, true},
    Phase{250, Function::Humidity, 48.0, 4.0, 5.0, 0.1, 1},
    Phase{240, Function::Celsius, 23.5, 0.0, 1.2, 0.05, 1},
    Phase{150, Function::Celsius, 23.5, -28.0, 0.5, 0.05, 1}, // into a cold room, below zero
    Phase{200, Function::Fahrenheit, 74.3, 0.0, 2.5, 0.1, 1, false, false, true},
    Phase{150, Function::Light, 25.0, 0.0, 8.0, 0.05, 2},
    Phase{150, Function::Light, 250.0, 0.0, 90.0, 0.5, 1},
    Phase{150, Function::Light, 2400.0, 0.0, 900.0, 5.0, 0},
    Phase{150, Function::Light, 3200.0, 0.0, 500.0, 5.0, 0, true},
    Phase{40, Function::Light, 0.0, 0.0, 0.0, 0.0, 0, false, false, false, true},
};

constexpr double kWavePeriodFrames = 240.0;

/// A fixed pseudo-random number in -1..1 for each frame (splitmix64).
double jitter(std::uint64_t frameIndex) {
    std::uint64_t z = frameIndex + 0x9E3779B97F4A7C15ull;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    z ^= z >> 31;
    return static_cast<double>(z >> 11) / static_cast<double>(1ull << 52) - 1.0;
}

void setFunction(Display &display, Function function) {
    display.sound = function == Function::Sound;
    display.humidity = function == Function::Humidity;
    display.celsius = function == Function::Celsius;
    display.fahrenheit = function == Function::Fahrenheit;
    display.lux = function == Function::Light;
}

} // namespace

std::uint64_t demoCycleLength() {
    std::uint64_t total = 0;
    for (const Phase &phase : kPhases)
        total += phase.frames;
    return total;
}

Display demoDisplay(std::uint64_t frameIndex) {
    std::uint64_t inPhase = frameIndex % demoCycleLength();
    const Phase *phase = kPhases.data();
    while (inPhase >= phase->frames) {
        inPhase -= phase->frames;
        ++phase;
    }

    const double progress = static_cast<double>(inPhase) / static_cast<double>(phase->frames);
    const double wave =
        std::sin(2.0 * std::numbers::pi * static_cast<double>(inPhase) / kWavePeriodFrames);
    const double value = phase->base + phase->drift * progress + phase->swing * wave +
                         phase->noise * jitter(frameIndex);
    const int decimals = phase->decimals >= 0 ? phase->decimals : (value < 100.0 ? 2 : 1);

    Display display = displayOfValue(value, decimals);
    if (phase->overloadLetter) {
        display = Display{};
        display.cells = {' ', 'O', 'L', ' '};
    }
    setFunction(display, phase->function);
    display.rs232 = true; // the meter lights RS232 while it sends
    display.x10 = phase->x10;
    display.hold = phase->hold;
    display.lowBattery = phase->lowBattery;
    return display;
}

} // namespace metersim
