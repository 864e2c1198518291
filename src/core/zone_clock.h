#pragma once

#include "core/time_stamp.h"

#include <QTimeZone>

#include <optional>
#include <utility>

namespace core {

/// The local clock of a time zone, by the zone's own rules: clock seconds (core::clockSeconds)
/// as instants (seconds since 1970-01-01T00:00:00Z) and back, and the calendar intervals of the
/// clock as intervals of real time. Twice a year the clock is not one line: in spring it skips
/// an hour, in autumn it reads an hour twice.
class ZoneClock {
  public:
    /// The machine's zone: $TZ, else the system's.
    ZoneClock() : ZoneClock(QTimeZone::systemTimeZone()) {}
    explicit ZoneClock(QTimeZone zone);

    const QTimeZone &zone() const { return m_zone; }
    /// The offset of the clock from UTC at an instant, in seconds.
    int offsetAt(qint64 instant) const;
    LocalInstant at(qint64 instant) const { return {instant, offsetAt(instant)}; }
    /// The instant a clock reading stands for. Read twice (the hour lived twice in autumn): the
    /// pass nearer `near`, the first without it. Never read (the hour skipped in spring): as the
    /// clock that wrote it meant it, still at the offset before the change.
    qint64 instantOf(qint64 clockSecond, std::optional<qint64> near = std::nullopt) const {
        return takenAt(clockSecond, near).utc;
    }
    /// The same with the offset the clock had then.
    LocalInstant takenAt(qint64 clockSecond, std::optional<qint64> near = std::nullopt) const;
    /// Where the clock read `clockSecond` twice, the instant its hour lived twice ends (the
    /// change); nothing elsewhere.
    std::optional<qint64> foldOf(qint64 clockSecond) const;
    /// The calendar interval of `seconds` that holds an instant, [start, end) in instants:
    /// intervals follow each other from each local midnight, a day's last one cut there. An
    /// interval begins where the clock reads its first second, in either pass, or where the
    /// clock jumps into it; so the autumn day has two hours starting at 02:00 and 25 in all.
    std::pair<qint64, qint64> intervalOf(qint64 instant, int seconds) const;

  private:
    /// Instants [from, to) at one offset, with the offsets before and after, and the local
    /// seconds [onceFrom, onceTo) the clock read only in it.
    struct Segment {
        qint64 from = 0;
        qint64 to = 0;
        int offset = 0;
        int before = 0;
        int after = 0;
        qint64 onceFrom = 0;
        qint64 onceTo = 0;
    };
    const Segment &segmentAt(qint64 instant) const;
    /// The same, slowly, from the zone's transitions near it.
    qint64 instantNearChange(qint64 local, std::optional<qint64> near) const;

    QTimeZone m_zone;
    mutable Segment m_segment;
    mutable bool m_known = false;
};

/// A bound of a span as a user types it (core::clockSecondsOfBound), optionally followed by its
/// offset from UTC ("+01:00", "-05:00" or "Z"), as an instant: without an offset it is the
/// zone's local time, the first pass where the clock read it twice. None for any other text.
std::optional<qint64> instantOfBound(QStringView text, bool end, const ZoneClock &zone);

} // namespace core
