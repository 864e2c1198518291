#pragma once

#include "chart/history_plot.h"
#include "log/record_window.h"
#include "session/logging_session.h"

#include <QString>

#include <array>

namespace window {

/// The main window's own fields, shared by its handlers, with those of the logging session it
/// shows. Counters of the chart are 16-bit as the program has them; the record counts are
/// 32-bit so that logs of any size up to the record limit work everywhere.
struct WindowFields : session::TakingState {
    qint16 StartupTicks = 0;
    qint16 TrendCount = 0;
    bool MinMaxRestart = true;
    qint16 LastLevelPct = 0;
    bool HistoryShown = false;
    bool HistoryRequest = false;
    qint32 LogRecordCount = 0;

    bool LedPhase = false;
    std::array<float, 300> TrendBuffer{};
    float RunMin = 0;
    float RunMax = 0;

    std::array<QString, 9> ValueLabels;
    std::array<QString, 16> TimeLabels;

    /// The records of the last history window or report, newest first.
    std::array<logbook::LogRecord, chart::kHistorySlots> HistoryArrays;
    qint16 HistoryCount = 0;
    float HistoryMax = 0;
    float HistoryMin = 0;
};

} // namespace window
