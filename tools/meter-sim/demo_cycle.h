#pragma once

#include "frame_encoder.h"

#include <cstdint>

namespace metersim {

/// Frames in one pass of the built-in demo (about two minutes at 2400 baud).
std::uint64_t demoCycleLength();

/// The display of frame `frameIndex` of the built-in demo, which repeats forever: sound (quiet,
/// loud, over and under range, held), humidity, temperature in C (warm, then cold below zero)
/// and in F with a low battery, light in its 40, 400 and 4000 ranges, with X10 and overloaded.
/// Values vary slowly around plausible levels with a little noise; the same index always gives
/// the same display, so a run of any length uses no memory of its own.
Display demoDisplay(std::uint64_t frameIndex);

} // namespace metersim
