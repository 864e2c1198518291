#pragma once

namespace core {
class Clock;
}

namespace window {

class WindowModel;

/// The tick of Timer1: the two start-up ticks after each activation, then the clock in Text11.
void Timer1Tick(WindowModel &model, const core::Clock &clock);

} // namespace window
