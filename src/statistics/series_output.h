#pragma once

#include "statistics/log_history.h"

#include <QByteArray>
#include <QJsonObject>
#include <QString>
#include <QStringList>

#include <vector>

namespace stats {

/// The logs that are answered as one series: those named alone, a folder's history, or a
/// meter's; with several series each group says the folder or meter it is of.
struct Series {
    QStringList paths;
    QString key;  ///< "folder" or "meter"; empty for logs named alone
    QString name; ///< the folder or the meter
    HistoryFigures figures;
};

/// The figures of the series as one JSON object: the logs read, those left unread, the retired
/// ones taken from their summaries, the span's groups, each interval's where `byInterval`, the
/// events where `events`.
QJsonObject seriesJson(const std::vector<Series> &series, bool byInterval, bool events);
/// The groups as CSV (RFC 4180, CRLF), a line a group, every key of a group a column; with
/// `byInterval` each interval's groups with its start and end.
QByteArray seriesCsv(const std::vector<Series> &series, bool byInterval);
/// The events as CSV, a line an event.
QByteArray eventsCsv(const std::vector<Series> &series);
/// The figures as a table for a terminal: for each series the logs read, the span's groups, the
/// retired logs taken from their summaries, then each interval's, and the events where
/// `events`.
QStringList seriesTable(const std::vector<Series> &series, bool events);

} // namespace stats
