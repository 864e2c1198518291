#pragma once

#include "core/zone_clock.h"
#include "log/record_window.h"
#include "statistics/figures.h"

#include <QString>

#include <memory>
#include <optional>
#include <span>
#include <vector>

namespace publish {

/// What the readings of one interval of the clock say: a group of figures for each quantity
/// that had readings in it, temperature in one unit.
struct IntervalState {
    core::LocalInstant start; ///< included
    core::LocalInstant end;   ///< excluded
    std::vector<stats::GroupFigures> groups;
};

/// The figures of the interval of the clock going on, gathered from the records as they are
/// taken: runs formed within the interval, by the statistics' rules. Intervals start at each
/// local midnight and follow each other there (core::ZoneClock::intervalOf: one interval of
/// real time each, two for an hour the clock read twice); a day's last one is cut at midnight
/// when the length does not divide a day. An interval ends when a record taken outside it comes,
/// or when the clock has passed its end by kGraceMs; only the latest ended one is kept.
class IntervalStates {
  public:
    /// Records taken in the last moment of an interval reach the log within this.
    static constexpr int kGraceMs = 500;

    IntervalStates(int seconds, QString temperatureUnit, core::ZoneClock zone = {});
    ~IntervalStates();
    IntervalStates(const IntervalStates &) = delete;
    IntervalStates &operator=(const IntervalStates &) = delete;

    const core::ZoneClock &zone() const { return m_zone; }
    /// The interval that holds an instant (seconds since the epoch).
    std::pair<qint64, qint64> intervalOf(qint64 instant) const;
    /// The records added next begin at the interval that starts at `instant`: the states of
    /// those before it are not told, and a stamp of an hour the clock read twice is read in the
    /// pass nearer it.
    void followFrom(qint64 instant);
    /// Records in the order they were taken.
    void add(std::span<const logbook::LogRecord> records);
    /// The time is `nowMs` (milliseconds since the epoch).
    void clockAt(qint64 nowMs);
    /// Milliseconds from `nowMs` until the interval going on is due to end; none while no
    /// interval has records.
    std::optional<qint64> msUntilDue(qint64 nowMs) const;
    /// The latest interval ended since the last call; those before it are dropped.
    std::optional<IntervalState> takeLatest();

  private:
    void endInterval();

    int m_seconds;
    QString m_temperatureUnit;
    core::ZoneClock m_zone;
    std::optional<qint64> m_previous; ///< the instant of the record added last
    std::optional<qint64> m_firstTold;
    struct Open;
    std::unique_ptr<Open> m_open;
    std::optional<IntervalState> m_latest;
};

} // namespace publish
