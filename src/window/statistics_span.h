#pragma once

#include "log/record_window.h"
#include "statistics/figures.h"

#include <QString>

#include <optional>
#include <vector>

namespace core {
class MessageBoxes;
}
namespace logbook {
class ReadingLog;
}

namespace window {

class WindowModel;

/// The readings the statistics window opens on.
struct StatisticsSpan {
    QString title; ///< what they are: the live log, a saved log, the history shown
    std::vector<logbook::LogRecord> records;
    stats::SpanQuery limits; ///< HI and LOW from the limit boxes
};

/// "Statistics...": with the line off, the records the history plot shows when one is on screen,
/// otherwise the whole live log, every reading taken written first. Nothing, with the user told
/// why, while the line is on or when the log cannot be read.
std::optional<StatisticsSpan> statisticsSpan(WindowModel &model, logbook::ReadingLog &log,
                                             core::MessageBoxes &messages);

} // namespace window
