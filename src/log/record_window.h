#pragma once

#include "log/database_error.h"

#include <QString>

#include <optional>

#include <span>

namespace logbook {

/// The five leading columns of one log record: NO, FUN, DATA, UNIT, TIME.
struct LogRecord {
    qint32 no = 0;
    QString function;
    QString data;
    QString unit;
    QString time;
    friend bool operator==(const LogRecord &, const LogRecord &) = default;
};

/// A slice of a log as the history plot and the printed report read it.
struct LogSlice {
    int count = 0;         ///< records copied into the window, newest first
    QString firstFunction; ///< of the log's first record
    QString firstUnit;
    DatabaseError error; ///< the log could not be read: nothing copied
};

/// Reads the log at `path` through its record set: from the record `fromFirst` rows after the
/// first (the last one when unset), back towards the first, into `window` until the log runs
/// out past either end or the window is full, storing the overload text "O.L" as
/// `overloadText`.
LogSlice readSliceBackward(const QString &path, std::optional<qint64> fromFirst,
                           std::span<LogRecord> window, const QString &overloadText);

} // namespace logbook
