#include "window/statistics_span.h"

#include "core/message_boxes.h"
#include "core/number_text.h"
#include "log/log_database.h"
#include "log/reading_log.h"
#include "window/port_control.h"
#include "window/window_model.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace window {

std::optional<StatisticsSpan> statisticsSpan(WindowModel &model, logbook::ReadingLog &log,
                                             const QString &lastFunction,
                                             core::MessageBoxes &messages) {
    const QString live = log.filePath(logbook::kLiveLogFile);
    const QString folder = QFileInfo(live).path();
    StatisticsSpan span{QStringLiteral("The history of %1: every kept backup and the live log")
                            .arg(QDir::toNativeSeparators(folder)),
                        {folder},
                        std::nullopt,
                        {}};
    const WindowFields &f = model.fields;
    if (lineIsOff(model) && f.historyShown && f.historyCount > 0) {
        log.writeQueued();
        logbook::DatabaseError error;
        std::optional<std::vector<logbook::LogRecord>> records =
            logbook::readLogRecords(live, error);
        if (!records) {
            messages.showMessage(QStringLiteral("The statistics cannot be shown: the log file %1 "
                                                "could not be read (%2).")
                                     .arg(QDir::toNativeSeparators(live), error.reason));
            return std::nullopt;
        }
        // The history keeps the overloads' texts as the scale's top: the records are read again.
        const auto shown = std::span(f.historyArrays.data(), std::size_t(f.historyCount));
        const auto [oldest, newest] = std::minmax_element(
            shown.begin(), shown.end(), [](const auto &a, const auto &b) { return a.no < b.no; });
        std::erase_if(*records, [&](const logbook::LogRecord &r) {
            return r.no < oldest->no || r.no > newest->no;
        });
        span.records = std::move(*records);
        span.title = QStringLiteral("The history shown: records %1 to %2 of the live log")
                         .arg(oldest->no)
                         .arg(newest->no);
    }
    // The limit boxes are those of the quantity measured last, and of no other.
    if (!lastFunction.isEmpty()) {
        span.limits.hi.byFunction[lastFunction] =
            core::leadingNumber(model.text(ControlId::highAlarmLimit));
        span.limits.low.byFunction[lastFunction] =
            core::leadingNumber(model.text(ControlId::lowAlarmLimit));
    }
    return span;
}

} // namespace window
