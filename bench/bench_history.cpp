// The history slider on a log of 99,999 records, in the real window: a movement (grid row and
// its repaint included) and the history plot it asks for, near the newest record, in the
// middle and near the oldest; and one step of a drag.
#include "shown_program.h"

namespace {

constexpr int kRecords = 99999;

struct Window : ShownProgram {
    Window() : ShownProgram(kRecords) {}
    void moveTo(int position) {
        program.model().setValue(window::ControlId::historySlider, position);
        program.slider().onThumbMoved();
        QCoreApplication::processEvents(); // the grid shows its new row
    }
};

Window &window() {
    static Window w;
    return w;
}

void BM_MovementAndPlot(benchmark::State &state) {
    Window &w = window();
    const int position = int(state.range(0));
    for (auto _ : state) {
        w.moveTo(position);
        w.program.slider().onReleased();
        QCoreApplication::processEvents();
    }
    if (w.program.model().fields.historyCount != 300)
        state.SkipWithError("no history window drawn");
}
BENCHMARK(BM_MovementAndPlot)
    ->Arg(1)
    ->Arg(50000)
    ->Arg(kRecords - 301)
    ->Unit(benchmark::kMillisecond);

void BM_Movement(benchmark::State &state) {
    Window &w = window();
    for (auto _ : state)
        w.moveTo(int(state.range(0)));
}
BENCHMARK(BM_Movement)->Arg(1)->Arg(50000)->Arg(kRecords - 301)->Unit(benchmark::kMillisecond);

void BM_HistoryPlot(benchmark::State &state) {
    Window &w = window();
    w.moveTo(int(state.range(0)));
    for (auto _ : state) {
        w.program.model().fields.historyRequest = true;
        w.program.slider().onReleased();
        QCoreApplication::processEvents();
    }
}
BENCHMARK(BM_HistoryPlot)->Arg(1)->Arg(50000)->Arg(kRecords - 301)->Unit(benchmark::kMillisecond);

/// One step of a drag through the whole range: the next position each time.
void BM_DragStep(benchmark::State &state) {
    Window &w = window();
    int position = 1;
    for (auto _ : state) {
        w.moveTo(position);
        position = position % (kRecords - 2) + 1;
    }
}
BENCHMARK(BM_DragStep)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char **argv) { return runWindowBenchmarks(argc, argv); }
