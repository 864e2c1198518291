#pragma once

#include "core/alarm_watch.h"
#include "core/zone_clock.h"
#include "log/database_error.h"
#include "log/record_window.h"

#include <QLatin1String>
#include <QString>

#include <array>
#include <map>
#include <memory>
#include <optional>
#include <span>
#include <vector>

namespace stats {

/// A length of the calendar intervals figures are given for: as the command line writes it, as
/// the window names it, in seconds.
struct IntervalChoice {
    QLatin1String option;
    QLatin1String name;
    int seconds;
};

inline constexpr std::array kIntervalChoices{
    IntervalChoice{QLatin1String("1m"), QLatin1String("Minute"), 60},
    IntervalChoice{QLatin1String("15m"), QLatin1String("15 minutes"), 900},
    IntervalChoice{QLatin1String("1h"), QLatin1String("Hour"), 3600},
    IntervalChoice{QLatin1String("1d"), QLatin1String("Day"), 86400}};

/// A limit whose time is counted: one for every function, and functions' own, which win.
struct Limit {
    std::optional<double> every;
    std::map<QString, double> byFunction; ///< by the log's function names: "Sound", "Temp", ...

    /// The limit that holds for a group of this function, in the group's own unit.
    std::optional<double> of(const QString &function) const;
};

/// Reads limits as the user writes them: "85" for every function, "sound=85" for one (also
/// humidity=, temp=, temperature=, light=), which wins. What is wrong, naming the limit as
/// `named` ("--hi", "HI"); nothing when all were read.
std::optional<QString> readLimit(const QString &named, const QStringList &values, Limit &limit);
/// A limit as readLimit reads it: "85 sound=70".
QString limitText(const Limit &limit);

struct SpanQuery;
struct LogOutline;
struct LogSummary;
/// The rules of the events above HI and below LOW: for each quantity the query's limits hold
/// for, named sound_above, ..., held for its forSeconds and ended by its hysteresis.
std::vector<core::AlarmRule> limitRules(const SpanQuery &query);

/// What a span of the log is narrowed by; nothing set, the whole log.
struct SpanQuery {
    std::optional<qint64> from; ///< an instant (core::ZoneClock), the first included
    std::optional<qint64> to;   ///< the last included
    Limit hi;                   ///< the time at or above it is counted, and the events
    Limit low;                  ///< the time at or below it is counted, and the events
    /// An event above HI or below LOW is counted once it has lasted this long; it ends at the
    /// first reading past the limit by the hysteresis (core::AlarmWatch).
    double forSeconds = 0;
    double hysteresis = 0;
    /// The rules whose events are listed; none, none listed.
    std::vector<core::AlarmRule> eventRules;
    /// The zone whose local clock the log's stamps are: each stamp is read as an instant by its
    /// rules, one the clock read twice in the pass nearer the record before it.
    core::ZoneClock zone;
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
    core::LocalInstant first; ///< when the first record was taken, in the log's order
    core::LocalInstant last;
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
    /// The events above HI and below LOW that began here and lasted the time asked.
    std::optional<qint64> eventsAboveHi, eventsBelowLow;
    /// Sound over a day interval: the Leq of 07:00-19:00, 19:00-23:00 and 23:00-07:00 of that
    /// date, and the day-evening-night level when all three have readings, each period weighted
    /// by the hours the day had of it (a night of 7 or 9 when the clock changes).
    std::optional<double> lday, levening, lnight, lden;
};

/// An event of a rule: from its first reading past the limit to the reading that ended it (the
/// last one taken, for an event still going at the end of the span).
struct EventFigures {
    QString rule;
    QString function;
    QString unit; ///< of limit and peak
    bool above = true;
    double limit = 0;
    core::LocalInstant start;
    core::LocalInstant end;
    double peak = 0;
    std::optional<double> leq; ///< sound
    bool raised = false;       ///< it lasted long enough to raise the alarm
    bool going = false;        ///< still going at the end of the span
    /// Found in the minute summaries of retired logs: its times and peak to a minute's piece.
    bool fromSummaries = false;
};

struct SpanFigures {
    std::vector<GroupFigures> groups; ///< sound, humidity, temperature (C, F), light, others
    /// Records left out: no function, a time stamp that cannot be read, or no number as data.
    qint64 leftOut = 0;
};

/// The figures of one calendar interval of the local clock as it was lived: [start, end).
struct IntervalFigures {
    core::LocalInstant start;
    core::LocalInstant end;
    std::vector<GroupFigures> groups;
};

/// Readings of one group whose time stamps never go backwards and are at most this far apart
/// make one run.
inline constexpr int kRunGapSeconds = 10;

/// One record as the figures take it.
struct Entry {
    static constexpr qint32 kLeftOut = -1; ///< no function, or data that is no number
    qint64 time = 0;                       ///< clock seconds, as stamped
    double level = 0;
    qint32 group = kLeftOut; ///< into the groups of the log it comes from
    qint32 kind = 0;         ///< kLevel, kOverload, or kNoTime
    static constexpr qint32 kLevel = 0;
    static constexpr qint32 kOverload = 1;
    static constexpr qint32 kNoTime = 2; ///< a time stamp that cannot be read
};

/// A log's records as entries, with the functions and units their groups stand for.
struct CompactLog {
    std::vector<std::pair<QString, QString>> groups; ///< function, unit
    std::vector<Entry> entries;                      ///< in record order
};

/// The records of a log as entries.
CompactLog compactLog(std::span<const logbook::LogRecord> records);
/// A record added to a log's entries.
void appendEntry(CompactLog &log, const logbook::LogRecord &record);

/// The figures of a series of logs fed one after the other, as if they were one log: a run
/// goes on from one into the next. Runs and weights are of real seconds, across the clock's
/// changes. With an interval length, also the figures of each calendar interval of the local
/// clock that has readings (60, 900, 3600 or 86400 seconds, core::ZoneClock::intervalOf; a day
/// also gets Lday, Levening, Lnight and Lden).
class FigureBuilder {
  public:
    explicit FigureBuilder(SpanQuery query, int intervalSeconds = 0);
    ~FigureBuilder();
    FigureBuilder(const FigureBuilder &) = delete;
    FigureBuilder &operator=(const FigureBuilder &) = delete;

    /// The records added next were taken after one at this instant.
    void follow(qint64 instant);
    void add(const CompactLog &log);
    /// Whether the log's records are all outside the span (and its stamps read as the outline
    /// says): then passing it by adds what they would.
    bool passesBy(const LogOutline &log) const;
    void pass(const LogOutline &log);
    /// Whether the log's summary adds what its records would: no events are watched, the
    /// summary read the stamps by the query's zone and as they follow the logs before, and no
    /// piece of it is cut by the span's ends.
    bool takesWhole(const LogSummary &log) const;
    /// Adds the summary as it is: where takesWhole is false (a retired log, whose records are
    /// gone), a piece the span's end cuts is taken by its first reading, and the events are
    /// found to the minute, each piece a reading at its start as high as its highest level and
    /// as low as its lowest.
    void add(const LogSummary &log);
    SpanFigures span();
    /// In time order. Valid after span().
    std::vector<IntervalFigures> intervals();
    /// The events of the query's rules, in the order they ended. Valid after span().
    std::vector<EventFigures> events();

  private:
    /// Whether the outline read the stamps by the query's zone, and as they follow the logs
    /// before.
    bool readsAsOutlined(const LogOutline &log) const;

    struct State;
    std::unique_ptr<State> m_state;
};

/// The figures of the records, taken in record-number order.
SpanFigures spanFigures(std::span<const logbook::LogRecord> records, const SpanQuery &query);

} // namespace stats
