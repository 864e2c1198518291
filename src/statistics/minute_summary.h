#pragma once

#include "core/time_stamp.h"
#include "core/zone_clock.h"
#include "statistics/figures.h"

#include <QByteArray>
#include <QDataStream>
#include <QString>

#include <optional>
#include <utility>
#include <vector>

namespace stats {

/// Day 07:00-19:00 (0), evening 19:00-23:00 (1), night 23:00-07:00 (2) of a clock time.
int periodOfDay(qint64 clockSecond);

/// A level and how many readings of a piece had it.
struct LevelCount {
    double level = 0;
    qint32 count = 0;
    friend bool operator==(const LevelCount &, const LevelCount &) = default;
};

/// Readings of one group that follow each other in a log within one minute of the local clock
/// and one period of the day, and make one run (never backwards, at most kRunGapSeconds
/// apart): all the figures need of them but their order. Records that are no reading (group
/// Entry::kLeftOut) make pieces of their own, counted only.
struct MinutePiece {
    core::LocalInstant first;
    core::LocalInstant last;
    qint32 group = Entry::kLeftOut;
    qint32 readings = 0; ///< overloads included
    qint32 overloads = 0;
    qint32 levels = 0; ///< how many LogSummary::levels follow for it, ascending
    friend bool operator==(const MinutePiece &, const MinutePiece &) = default;
};

/// A log as a whole, enough to order a history's logs and to pass one by.
struct LogOutline {
    QByteArray zone;   ///< the id of the zone whose clock read the stamps
    qint64 noTime = 0; ///< records whose stamp cannot be read
    /// The first stamp that can be read, the instant it was read as with nothing before it,
    /// and the instant of the last: where the next log's stamps are read from.
    std::optional<qint64> firstClock;
    qint64 firstTaken = 0;
    qint64 lastTaken = 0;
    /// The earliest and latest instants of its records: a clock set back goes back in a log.
    qint64 earliest = 0;
    qint64 latest = 0;
    friend bool operator==(const LogOutline &, const LogOutline &) = default;
};

QDataStream &operator<<(QDataStream &out, const LogOutline &outline);
QDataStream &operator>>(QDataStream &in, LogOutline &outline);

/// A log's records summarised minute by minute: each figure of a span or interval made of whole
/// minutes comes out of it as from the records, in a small part of their room.
struct LogSummary {
    LogOutline outline;
    std::vector<std::pair<QString, QString>> groups;
    std::vector<MinutePiece> pieces; ///< in record order
    std::vector<LevelCount> levels;  ///< the pieces' levels one after the other
    friend bool operator==(const LogSummary &, const LogSummary &) = default;
};

/// The log summarised, its stamps read by the zone's clock as the figures read them.
LogSummary summarised(const CompactLog &log, const core::ZoneClock &zone);

/// The summary in a few bytes, and back; nothing when the bytes are no summary.
QByteArray packedSummary(const LogSummary &summary);
std::optional<LogSummary> unpackedSummary(const QByteArray &packed);

} // namespace stats
