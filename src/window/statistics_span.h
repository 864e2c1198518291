#pragma once

#include "log/record_window.h"
#include "statistics/figures.h"

#include <QString>
#include <QStringList>

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
    QString title;     ///< what they are: the data folder's history, a saved log, the history shown
    QStringList paths; ///< the logs and data folders read, when the records are not given
    std::optional<std::vector<logbook::LogRecord>> records;
    /// HI and LOW from the limit boxes, for the function measured last (none before a reading)
    stats::SpanQuery limits;
};

/// "Statistics...": with the line off, the records the history plot shows when one is on screen;
/// otherwise the data folder's history, every kept backup and the live log, which it only
/// reads, so that it may be opened while readings are logged. Nothing, with the user told why,
/// when the live log cannot be read for the history plot's records.
std::optional<StatisticsSpan> statisticsSpan(WindowModel &model, logbook::ReadingLog &log,
                                             const QString &lastFunction,
                                             core::MessageBoxes &messages);

} // namespace window
