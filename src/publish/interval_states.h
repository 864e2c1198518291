#pragma once

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
    qint64 start = 0; ///< clock seconds (core::clockSeconds), included
    qint64 end = 0;   ///< excluded
    std::vector<stats::GroupFigures> groups;
};

/// The figures of the interval of the clock going on, gathered from the records as they are
/// taken: runs formed within the interval, by the statistics' rules. Intervals start at each
/// local midnight and follow each other there; a day's last one is cut at midnight when the
/// length does not divide a day. An interval ends when a record stamped outside it comes, or
/// when the clock has passed its end by kGraceMs; only the latest ended one is kept.
class IntervalStates {
  public:
    /// Records taken in the last moment of an interval reach the log within this.
    static constexpr int kGraceMs = 500;

    IntervalStates(int seconds, QString temperatureUnit);
    ~IntervalStates();
    IntervalStates(const IntervalStates &) = delete;
    IntervalStates &operator=(const IntervalStates &) = delete;

    /// The interval that holds a clock second.
    std::pair<qint64, qint64> intervalOf(qint64 clockSecond) const;
    /// Records in the order they were taken.
    void add(std::span<const logbook::LogRecord> records);
    /// The clock is at `clockMs` (core::clockMilliseconds).
    void clockAt(qint64 clockMs);
    /// Milliseconds from `clockMs` until the interval going on is due to end; none while no
    /// interval has records.
    std::optional<qint64> msUntilDue(qint64 clockMs) const;
    /// The latest interval ended since the last call; those before it are dropped.
    std::optional<IntervalState> takeLatest();

  private:
    void endInterval();

    int m_seconds;
    QString m_temperatureUnit;
    struct Open;
    std::unique_ptr<Open> m_open;
    std::optional<IntervalState> m_latest;
};

} // namespace publish
