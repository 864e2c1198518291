#pragma once

// The main window's model and handlers wired as the program wires them, without a window: the
// four picture boxes as recording surfaces placed as the design places them, an in-memory
// serial line, recording message boxes and a settable clock, over the log files in a folder.
// Nothing is loaded or activated: each test does what it needs.

#include "core/clock.h"
#include "fake_serial_line.h"
#include "log/data_source.h"
#include "log/reading_log.h"
#include "log/record_grid_model.h"
#include "recording_message_boxes.h"
#include "recording_surface.h"
#include "window/chart_handlers.h"
#include "window/form1_layout.h"
#include "window/history_slider.h"
#include "window/port_control.h"
#include "window/receive_pipeline.h"
#include "window/start_up.h"
#include "window/toolbar_commands.h"
#include "window/window_model.h"

struct RecordingSurfaces {
    chart::RecordingSurface plot{window::surfaceGeometry(window::ControlId::Picture1)};
    chart::RecordingSurface frame{window::surfaceGeometry(window::ControlId::Picture2)};
    chart::RecordingSurface wedge{window::surfaceGeometry(window::ControlId::Picture3)};
    chart::RecordingSurface bar{window::surfaceGeometry(window::ControlId::Picture6)};
};

struct WindowHandlers {
    explicit WindowHandlers(const QString &directory)
        : log(directory, data1, grid, clock, messages),
          startUp(model, data1, grid, log, boxes.plot, chart, messages),
          pipeline(model, line, chart, log, [this] { ++beeps; }),
          toolbar(model, port, chart, log, messages, {[this] { ++exits; }, {}, {}}),
          slider(log, model, data1, chart, messages) {
        line.setReceiveHandler([this] { pipeline.onSerialEvent(); });
        line.setLostHandler([this](const QString &reason) { port.lineLost(reason); });
        line.setSilentHandler([this] { port.lineSilent(); });
    }
    window::WindowModel model;
    logbook::DataSource data1;
    logbook::RecordGridModel grid{data1};
    RecordingSurfaces boxes;
    window::ChartHandlers chart{model, boxes.plot, boxes.frame, boxes.wedge, boxes.bar};
    core::SettableClock clock{QDateTime(QDate(2026, 12, 4), QTime(14, 3, 27))};
    core::RecordingMessageBoxes messages;
    meter::FakeSerialLine line;
    int beeps = 0;
    int exits = 0;
    logbook::ReadingLog log;
    window::StartUp startUp;
    window::ReceivePipeline pipeline;
    window::PortControl port{model, line, chart, messages};
    window::ToolbarCommands toolbar;
    window::HistorySlider slider;
};
