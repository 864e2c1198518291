// One receive event end to end: decode, displays, scale, alarm, chart segment on the real
// surface, INSERT with commit into a real SQLite file, grid refresh, gauges.
#include "fake_serial_line.h"
#include "scenario_script.h"
#include "shown_program.h"

namespace {

void BM_ReceiveEvent(benchmark::State &state) {
    meter::FakeSerialLine line;
    ShownProgram shown(state.range(0), &line);
    app::Program &program = shown.program;
    // A full log would reach the record limit at its next record; numbering from 0 keeps the
    // file at its size without the backup interrupting the measurement.
    program.session().restartNumberingAt(0);
    emit program.mainWindow().toolbarButtonClicked(window::toolbar::kCommPort);
    emit program.mainWindow().toolbarButtonClicked(window::toolbar::kOffLineOnLine);
    const QStringList displays{QStringLiteral("25.00 LUX RS232"), QStringLiteral("73.40 dB RS232"),
                               QStringLiteral("_21.5 C RS232"), QStringLiteral("55.2 %RH RS232")};
    // Two frames an event, as the line brings them; the same function throughout, so the
    // figure is the steady state (a function change adds one axis and background redraw).
    const QByteArray frames = metersim::parseScript(displays[state.range(1)]).steps.front().bytes;
    for (auto _ : state) {
        line.deliver(frames);
        QCoreApplication::processEvents(); // the view repaints what changed
    }
    state.counters["appended"] = double(program.session().nextRecordNo());
    state.counters["failures"] = double(shown.messages.shown().size());
}
BENCHMARK(BM_ReceiveEvent)
    ->ArgsProduct({{0, 99999}, {0, 1}})
    ->ArgNames({"records", "display"})
    ->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv) { return runWindowBenchmarks(argc, argv); }
