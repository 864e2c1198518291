#pragma once

namespace core {
class Clock;
}

namespace window {

class WindowModel;

/// The tick of the clock timer: the two start-up ticks after each activation, then the date and
/// time.
void onClockTick(WindowModel &model, const core::Clock &clock);

} // namespace window
