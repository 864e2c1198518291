// Start-up to a shown main window, with an empty log and with a full one, and the memory the
// program holds then; and a screen reader's walk of that window.
#include "shown_program.h"

#include <QAccessible>
#include <QFile>

#include <unistd.h>

namespace {

double residentMegabytes() {
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.value(1).toDouble() * double(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

void BM_StartUpToShownWindow(benchmark::State &state) {
    QTemporaryDir dir;
    filledLog(dir.path(), state.range(0));
    core::RecordingMessageBoxes messages;
    const core::SystemClock clock;
    for (auto _ : state) {
        app::Program program(dir.path(), clock, &messages);
        program.start();
        if (!QTest::qWaitForWindowExposed(&program.mainWindow()))
            state.SkipWithError("window not shown");
        QCoreApplication::processEvents();
        state.counters["rss_MB"] = residentMegabytes();
    }
}
BENCHMARK(BM_StartUpToShownWindow)->Arg(0)->Arg(99999)->Unit(benchmark::kMillisecond);

/// Visits an accessible object and everything under it, reading what a screen reader reads.
int walk(QAccessibleInterface *node) {
    if (!node)
        return 0;
    int visited = 1;
    benchmark::DoNotOptimize(node->text(QAccessible::Name));
    benchmark::DoNotOptimize(node->role());
    benchmark::DoNotOptimize(node->state());
    for (int i = 0; i < node->childCount(); ++i)
        visited += walk(node->child(i));
    return visited;
}

void BM_AccessibilityWalkOfTheWindow(benchmark::State &state) {
    ShownProgram shown(state.range(0));
    for (auto _ : state)
        state.counters["objects"] =
            walk(QAccessible::queryAccessibleInterface(&shown.program.mainWindow()));
}
BENCHMARK(BM_AccessibilityWalkOfTheWindow)->Arg(99999)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv) { return runWindowBenchmarks(argc, argv); }
