#pragma once

#include "chart/history_plot.h"
#include "log/record_window.h"

#include <QString>

#include <array>

namespace window {

/// The main window's own fields, shared by its handlers. Counters of the chart are 16-bit as the
/// program has them; the record counts are 32-bit so that logs of any size up to the record limit
/// work everywhere.
struct WindowFields {
    qint16 startupTicks = 0;
    qint16 lastLevelPct = 0;
    bool historyShown = false;
    /// The history slider's position as the status bar's last panel shows it: records back
    /// from the newest, 0 for none.
    qint32 historyPosition = 0;
    bool historyRequest = false;
    qint32 logRecordCount = 0;

    bool ledPhase = false;

    std::array<QString, 9> valueLabels;
    std::array<QString, 16> timeLabels;

    /// The records of the last history window or report, newest first.
    std::array<logbook::LogRecord, chart::kHistorySlots> historyArrays;
    qint16 historyCount = 0;
    float historyMax = 0;
    float historyMin = 0;
};

} // namespace window
