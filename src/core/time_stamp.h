#pragma once

#include <QDateTime>
#include <QString>

#include <optional>

namespace core {

/// Clock seconds (core::clockSeconds) of 1970-01-01T00:00:00.
inline constexpr qint64 kEpochClockSeconds = qint64(2440588) * 86400;

/// An instant, in seconds since 1970-01-01T00:00:00Z, with the offset from UTC the local clock
/// had then, in seconds.
struct LocalInstant {
    qint64 utc = 0;
    int offset = 0;
    /// The instant as the local clock read it, in clock seconds (core::clockSeconds).
    qint64 clock() const { return kEpochClockSeconds + utc + offset; }
    friend bool operator==(const LocalInstant &, const LocalInstant &) = default;
};

/// The time stamp written into each log record: "hh:mm:ss/mm-dd-yyyy", 24-hour clock,
/// for example "14:03:27/12-04-2026".
QString timeStamp(const QDateTime &localTime);

/// The clock text of the toolbar: "mm-dd-yyyy hh:mm:ss", for example "12-05-2000 12:23:45".
QString clockText(const QDateTime &localTime);

/// The local time a record's time stamp gives; none for a text that is no such stamp.
std::optional<QDateTime> readTimeStamp(QStringView stamp);
/// The time a stamp gives as a clock shows it, in seconds counted from a fixed day: the
/// difference of two is the seconds between them on the clock. None for no such stamp.
std::optional<qint64> clockSeconds(QStringView stamp);
/// A clock reading "yyyy-MM-ddTHH:mm:ss" in the same seconds; none for any other text.
std::optional<qint64> clockSecondsOfIso(QStringView text);
/// A bound of a span as a user types it, in the same seconds: "2026-12-08T14:07:00", a blank
/// for the T, seconds left out ("2026-12-08 14:07") or the date alone. A bound without seconds
/// stands for its whole minute, a date for its whole day: its first second as the span's
/// start, its last as the span's `end`. None for any other text.
std::optional<qint64> clockSecondsOfBound(QStringView text, bool end);
/// Clock seconds as "yyyy-MM-ddTHH:mm:ss".
QString isoTimeOfClockSeconds(qint64 seconds);
/// An instant as the local clock read it, with its offset from UTC then (always as an offset,
/// "+00:00" included, never "Z"): "2026-10-25T02:00:00+01:00".
QString isoTimeWithOffset(LocalInstant instant);

/// The same time as spreadsheets sort it: "yyyy-MM-ddTHH:mm:ss", "2026-12-04T14:03:27".
QString isoTime(const QDateTime &localTime);

} // namespace core
