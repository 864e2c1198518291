#pragma once

#include "statistics/figures.h"
#include "statistics/minute_summary.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <vector>

namespace stats {

/// $XDG_CACHE_HOME/envmeter (~/.cache/envmeter): where what is read from kept backups is kept.
QString cacheFolder();

/// A log's records as entries. A kept backup never changes, so what is read from it is kept in
/// `cache` and taken from there while the file's size, modification time and header (SQLite
/// counts every change in it) are as they were; the live log is always read. Nothing when the
/// file is no log, with `error` set.
std::optional<CompactLog> readCompactLog(const QString &path, const QString &cache,
                                         logbook::DatabaseError &error);
/// A kept backup's summary by the machine's clock, from `cache` or read now (and kept there).
std::optional<LogSummary> summaryOf(const QString &backup, const QString &cache,
                                    logbook::DatabaseError &error);
/// Forgets what `cache` keeps of a kept backup, before it is removed.
void dropFromCache(const QString &backup, const QString &cache);
/// Keeps a kept backup in `cache`: from the entries of the records the caller `logged` into
/// it, when the backup holds as many and begins and ends as they do, else read.
void keepInCache(const QString &backup, const QString &cache,
                 std::optional<CompactLog> logged = std::nullopt);
/// The same on a thread of the global pool, so that the statistics of a history are answered
/// from the cache from their first question and the caller's readings never wait.
void keepInCacheSoon(const QString &backup, const QString &cache,
                     std::optional<CompactLog> logged = std::nullopt);

/// What a history says, and which logs it was read from.
/// A retired log answered from the minute summaries kept of it: when its readings were taken.
struct SummarisedLog {
    QString file; ///< where it was
    core::LocalInstant first;
    core::LocalInstant last;
};

struct HistoryFigures {
    QStringList files;                               ///< the logs read, in the series' order
    std::vector<std::pair<QString, QString>> unread; ///< a log that cannot be read, and why
    /// Logs retired from a folder, in the series' order: the figures of their time come from
    /// their summaries (FigureBuilder::add).
    std::vector<SummarisedLog> summarised;
    SpanFigures span;
    std::vector<IntervalFigures> intervals; ///< with an interval length
    std::vector<EventFigures> events;       ///< of the query's rules
    bool cancelled = false;
};

/// Told of each log read, as (logs read, logs in all); returns false to stop.
using HistoryProgress = std::function<bool(int done, int total)>;

/// The figures of the series the paths make: a folder stands for its history (with the logs
/// retired from it, logbook::retiredSummaries), a file for itself. The logs are taken in the order
/// of their first record's time stamp (two begun in the hour the clock read twice in the order they
/// were last written), each in record order; a log that cannot be read is left out and named.
/// Nothing is written beside the logs.
HistoryFigures historyFigures(const QStringList &paths, const SpanQuery &query, int intervalSeconds,
                              const QString &cache, const HistoryProgress &progress = {});

} // namespace stats
