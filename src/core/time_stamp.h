#pragma once

#include <QDateTime>
#include <QString>

#include <optional>

namespace core {

/// The time stamp written into each log record: "hh:mm:ss/mm-dd-yyyy", 24-hour clock,
/// for example "14:03:27/12-04-2026".
QString timeStamp(const QDateTime &localTime);

/// The clock text of the toolbar: "mm-dd-yyyy hh:mm:ss", for example "12-05-2000 12:23:45".
QString clockText(const QDateTime &localTime);

/// The local time a record's time stamp gives; none for a text that is no such stamp.
std::optional<QDateTime> readTimeStamp(QStringView stamp);

/// The same time as spreadsheets sort it: "yyyy-MM-ddTHH:mm:ss", "2026-12-04T14:03:27".
QString isoTime(const QDateTime &localTime);

} // namespace core
