// The history slider on a log of 99,999 records, in the real window: a movement (grid row and
// its repaint included) and the history plot it asks for, near the newest record, in the
// middle and near the oldest; and one step of a drag.
#include "core/clock.h"
#include "core/message_boxes.h"
#include "filled_log.h"
#include "ui/main_window/program.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QTest>

#include <benchmark/benchmark.h>

namespace {

constexpr int kRecords = 99999;

struct Window {
    Window() {
        filledLog(dir.path(), kRecords);
        program.start();
        if (!QTest::qWaitForWindowExposed(&program.form1()))
            qFatal("window not shown");
    }
    void moveTo(int position) {
        program.model().setValue(ui::ControlId::Slider1, position);
        program.slider().ThumbMovement();
        QCoreApplication::processEvents(); // the grid shows its new row
    }
    QTemporaryDir dir;
    core::RecordingMessageBoxes messages;
    core::SystemClock clock;
    ui::Program program{dir.path(), clock, &messages};
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
        w.program.slider().Release();
        QCoreApplication::processEvents();
    }
    if (w.program.model().fields.HistoryCount != 300)
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
        w.program.model().fields.HistoryRequest = true;
        w.program.slider().Release();
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

int main(int argc, char **argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
}
