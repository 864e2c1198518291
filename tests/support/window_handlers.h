#pragma once

// The main window's model and handlers wired as the program wires them, without a window: the
// four picture boxes as recording surfaces placed as the design places them and an in-memory
// serial line, over the live log of a folder.
// Nothing is loaded or activated: each test does what it needs.

#include "fake_serial_line.h"
#include "live_log.h"
#include "recording_surface.h"
#include "window/chart_handlers.h"
#include "window/history_slider.h"
#include "window/main_window_layout.h"
#include "window/port_control.h"
#include "window/reading_display.h"
#include "window/start_up.h"
#include "window/toolbar_commands.h"
#include "window/window_model.h"

struct RecordingSurfaces {
    chart::RecordingSurface plot{window::surfaceGeometry(window::ControlId::plot)};
    chart::RecordingSurface frame{window::surfaceGeometry(window::ControlId::chartAxes)};
    chart::RecordingSurface wedge{window::surfaceGeometry(window::ControlId::percentGauge)};
    chart::RecordingSurface bar{window::surfaceGeometry(window::ControlId::levelBar)};
};

struct WindowHandlers : LiveLog {
    explicit WindowHandlers(const QString &directory)
        : LiveLog(directory),
          startUp(model, gridSource, grid, log, session, boxes.plot, chart, messages),
          display(model, line, chart, [this] { ++beeps; }),
          toolbar(model, port, chart, log, session, messages, {[this] { ++exits; }, {}, {}}),
          slider(log, model, gridSource, chart, messages) {
        session.setView(display);
        line.setReceiveHandler([this] { session.onSerialEvent(); });
        line.setLostHandler([this](const QString &reason) { port.lineLost(reason); });
        line.setSilentHandler([this] { port.lineSilent(); });
    }
    window::WindowModel model;
    RecordingSurfaces boxes;
    window::ChartHandlers chart{model, boxes.plot, boxes.frame, boxes.wedge, boxes.bar};
    meter::FakeSerialLine line;
    session::LoggingSession session{line, log};
    int beeps = 0;
    int exits = 0;
    window::StartUp startUp;
    window::ReadingDisplay display;
    window::PortControl port{model, session, chart, messages};
    window::ToolbarCommands toolbar;
    window::HistorySlider slider;
};
