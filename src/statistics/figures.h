#pragma once

#include "log/database_error.h"
#include "log/record_window.h"

#include <QString>

#include <map>
#include <optional>
#include <span>
#include <vector>

namespace stats {

/// A limit whose time is counted: one for every function, and functions' own, which win.
struct Limit {
    std::optional<double> every;
    std::map<QString, double> byFunction; ///< by the log's function names: "Sound", "Temp", ...

    /// The limit that holds for a group of this function, in the group's own unit.
    std::optional<double> of(const QString &function) const;
};

/// What a span of the log is narrowed by; nothing set, the whole log.
struct SpanQuery {
    std::optional<qint64> from; ///< clock seconds (core::clockSeconds), the first included
    std::optional<qint64> to;   ///< the last included
    Limit hi;                   ///< the time at or above it is counted
    Limit low;                  ///< the time at or below it is counted
};

/// What the readings of one function and unit in a span say. Times are seconds: each record
/// stands for its share of the run of readings it belongs to. Level figures leave overloads
/// out; those that have no level to go by, or do not apply to the function, are unset.
struct GroupFigures {
    QString function;
    QString unit;
    qint64 readings = 0; ///< overloads included
    qint64 overloads = 0;
    double overloadSeconds = 0;
    qint64 first = 0; ///< clock seconds of the first record's time stamp, in the log's order
    qint64 last = 0;
    double seconds = 0; ///< measured time, Te: the runs' durations
    std::optional<double> min, max;
    std::optional<double> mean; ///< time-weighted; not for sound
    // Sound, in dB: energy average, levels exceeded 10, 50 and 90 % of the time, the level
    // normalised to 8 hours; doses in % after NIOSH and OSHA, and projected to 8 hours.
    std::optional<double> leq, l10, l50, l90, lex8h;
    std::optional<double> doseNiosh, doseOsha, projectedDoseNiosh, projectedDoseOsha;
    std::optional<double> mkt;      ///< temperature: mean kinetic temperature, in its unit
    std::optional<double> luxHours; ///< light: exposure
    std::optional<double> hi, low;  ///< the limits that held for this group, if any
    std::optional<double> aboveHiSeconds, belowLowSeconds; ///< where they are given
};

struct SpanFigures {
    std::vector<GroupFigures> groups; ///< sound, humidity, temperature (C, F), light, others
    /// Records left out: no function, a time stamp that cannot be read, or no number as data.
    qint64 leftOut = 0;
};

/// Readings of one group whose time stamps never go backwards and are at most this far apart
/// make one run.
inline constexpr int kRunGapSeconds = 10;

/// The figures of the records, taken in record-number order.
SpanFigures spanFigures(std::span<const logbook::LogRecord> records, const SpanQuery &query);

/// The records of a log file in record-number order; none, with `error` set, for a file that
/// is no log.
std::optional<std::vector<logbook::LogRecord>> readLogRecords(const QString &path,
                                                              logbook::DatabaseError &error);

} // namespace stats
