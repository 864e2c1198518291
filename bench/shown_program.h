#pragma once

// The program on a log of a given size with its window shown, for the benchmarks of what a
// user does in it, and the main() of the benchmarks that need a window.

#include "app/envmeter/program.h"
#include "core/clock.h"
#include "filled_log.h"
#include "recording_message_boxes.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QTest>

#include <benchmark/benchmark.h>

struct ShownProgram {
    explicit ShownProgram(qint64 records, meter::SerialLine *line = nullptr)
        : program(dir.path(), clock, &messages, line) {
        filledLog(dir.path(), records);
        program.start();
        if (!QTest::qWaitForWindowExposed(&program.mainWindow()))
            qFatal("the window was not shown");
    }
    QTemporaryDir dir;
    core::RecordingMessageBoxes messages;
    core::SystemClock clock;
    app::Program program;
};

/// Runs the benchmarks with an application on the offscreen platform.
inline int runWindowBenchmarks(int argc, char **argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
