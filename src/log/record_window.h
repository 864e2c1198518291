#pragma once

#include <QString>

#include <span>

namespace logbook {

class RecordSet;

/// The five leading columns of one log record: NO, FUN, DATA, UNIT, TIME.
struct LogRecord {
    qint32 no = 0;
    QString function;
    QString data;
    QString unit;
    QString time;
    friend bool operator==(const LogRecord &, const LogRecord &) = default;
};

/// Copies the record set's current record and those before it, newest first, into `window`
/// until the set runs out past either end or the window is full, storing the overload
/// text "O.L" as `overloadText`. Returns how many records were copied.
int readWindowBackward(RecordSet &records, std::span<LogRecord> window,
                       const QString &overloadText);

} // namespace logbook
