#include "window/clock_tick.h"

#include "core/clock.h"
#include "core/time_stamp.h"
#include "window/window_model.h"

namespace window {

namespace {

constexpr qint16 kClockRunning = 200;
constexpr qint16 kStartupOver = 3;

} // namespace

void onClockTick(WindowModel &model, const core::Clock &clock) {
    qint16 &ticks = model.fields.startupTicks;
    if (ticks == kClockRunning)
        model.setText(ControlId::clock, core::clockText(clock.now()));
    else
        ++ticks;
    if (ticks == kStartupOver) {
        model.setSplashOpen(false);
        model.setBusyPointer(false);
        model.setClockTimer({model.clockTimer().enabled, 500});
        ticks = kClockRunning;
    }
}

} // namespace window
