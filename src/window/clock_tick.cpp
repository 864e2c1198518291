#include "window/clock_tick.h"

#include "core/clock.h"
#include "core/time_stamp.h"
#include "window/window_model.h"

namespace window {

namespace {

constexpr qint16 kClockRunning = 200;
constexpr qint16 kStartupOver = 3;

} // namespace

void Timer1Tick(WindowModel &model, const core::Clock &clock) {
    qint16 &ticks = model.fields.StartupTicks;
    if (ticks == kClockRunning)
        model.setText(ControlId::Text11, core::clockText(clock.now()));
    else
        ++ticks;
    if (ticks == kStartupOver) {
        model.setSplashOpen(false);
        model.setBusyPointer(false);
        model.setTimer1({model.timer1().enabled, 500});
        ticks = kClockRunning;
    }
}

} // namespace window
