#pragma once

#include <QString>

#include <functional>

namespace logbook {

/// How an export ended.
struct CsvExportResult {
    enum class Kind { Written, Cancelled, Failed };
    Kind kind = Kind::Written;
    qint64 records = 0;
    QString reason; ///< why it failed, in words for the user
};

/// One field as a CSV file holds it: in double quotes, with quotes doubled, when it holds a
/// comma, a quote or a line break; as it is otherwise.
QString csvField(const QString &text);

/// Writes the log at `logPath` to `csvPath` as UTF-8 CSV: the line NO,FUN,DATA,UNIT,TIME, then
/// one line per record in the table's stored order, with CRLF line ends. The records are read
/// from a snapshot of the log taken under a read lock, so a log being written meanwhile is
/// neither held up nor exported half-written. The file is written beside `csvPath` and takes
/// its name only when complete: a cancelled or failed export leaves nothing under that name.
/// `progress(done, total)` is called every few thousand records; returning false cancels.
CsvExportResult exportCsv(const QString &logPath, const QString &csvPath,
                          const std::function<bool(qint64, qint64)> &progress);

} // namespace logbook
