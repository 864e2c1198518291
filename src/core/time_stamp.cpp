#include "core/time_stamp.h"

#include <array>
#include <cstdlib>
#include <utility>

namespace core {

namespace {

// Built by hand rather than with QDateTime::toString, so that no locale (digits, calendar)
// can ever change the texts stored in the log.
QString zeroPadded(int number, int width) {
    return QString::number(number).rightJustified(width, u'0');
}

/// "hh:mm:ss"
QString timeText(QTime time) {
    return zeroPadded(time.hour(), 2) + u':' + zeroPadded(time.minute(), 2) + u':' +
           zeroPadded(time.second(), 2);
}

/// "mm-dd-yyyy"
QString dateText(QDate date) {
    return zeroPadded(date.month(), 2) + u'-' + zeroPadded(date.day(), 2) + u'-' +
           zeroPadded(date.year(), 4);
}

/// "yyyy-MM-ddThh:mm:ss"
QString isoText(QDate date, QTime time) {
    return zeroPadded(date.year(), 4) + u'-' + zeroPadded(date.month(), 2) + u'-' +
           zeroPadded(date.day(), 2) + u'T' + timeText(time);
}

/// The date and time of a text of the given shape: digits where the shape has 0, its other
/// characters as they stand; year, month, day, hour, minute and second at the offsets given.
std::optional<std::pair<QDate, QTime>> readShaped(QStringView text, QStringView shape,
                                                  std::array<qsizetype, 6> offsets) {
    if (text.size() != shape.size())
        return std::nullopt;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const bool digit = text[i] >= u'0' && text[i] <= u'9';
        if (shape[i] == u'0' ? !digit : text[i] != shape[i])
            return std::nullopt;
    }
    const auto number = [text](qsizetype from, qsizetype length) {
        int value = 0;
        for (const QChar c : text.mid(from, length))
            value = value * 10 + (c.unicode() - u'0');
        return value;
    };
    const auto [year, month, day, hour, minute, second] = offsets;
    const QDate date(number(year, 4), number(month, 2), number(day, 2));
    const QTime time(number(hour, 2), number(minute, 2), number(second, 2));
    if (!date.isValid() || !time.isValid())
        return std::nullopt;
    return std::pair(date, time);
}

/// "hh:mm:ss/mm-dd-yyyy"
std::optional<std::pair<QDate, QTime>> readStamp(QStringView stamp) {
    return readShaped(stamp, u"00:00:00/00-00-0000", {15, 9, 12, 0, 3, 6});
}

qint64 secondsOf(const std::pair<QDate, QTime> &clock) {
    return clock.first.toJulianDay() * 86400 + clock.second.msecsSinceStartOfDay() / 1000;
}

} // namespace

QString timeStamp(const QDateTime &localTime) {
    return timeText(localTime.time()) + u'/' + dateText(localTime.date());
}

QString clockText(const QDateTime &localTime) {
    return dateText(localTime.date()) + u' ' + timeText(localTime.time());
}

std::optional<QDateTime> readTimeStamp(QStringView stamp) {
    const auto read = readStamp(stamp);
    return read ? std::optional(QDateTime(read->first, read->second)) : std::nullopt;
}

std::optional<qint64> clockSeconds(QStringView stamp) {
    const auto read = readStamp(stamp);
    return read ? std::optional(secondsOf(*read)) : std::nullopt;
}

std::optional<qint64> clockSecondsOfIso(QStringView text) {
    const auto read = readShaped(text, u"0000-00-00T00:00:00", {0, 5, 8, 11, 14, 17});
    return read ? std::optional(secondsOf(*read)) : std::nullopt;
}

std::optional<qint64> clockSecondsOfBound(QStringView text, bool end) {
    QString typed = text.trimmed().toString();
    constexpr qsizetype kDate = 10; // yyyy-MM-dd
    if (typed.size() > kDate && typed[kDate] == u' ')
        typed[kDate] = u'T';
    // What the text leaves out, and how many seconds that spans.
    const std::pair<const char16_t *, qint64> shortened[] = {
        {u"", 0}, {u":00", 59}, {u"T00:00:00", 86399}};
    for (const auto &[rest, span] : shortened)
        if (const std::optional<qint64> start = clockSecondsOfIso(typed + QString::fromUtf16(rest)))
            return *start + (end ? span : 0);
    return std::nullopt;
}

QString isoTime(const QDateTime &localTime) { return isoText(localTime.date(), localTime.time()); }

QString isoTimeOfClockSeconds(qint64 seconds) {
    // Not through a QDateTime of local time, which would move a time the clock skipped.
    return isoText(QDate::fromJulianDay(seconds / 86400),
                   QTime::fromMSecsSinceStartOfDay(int(seconds % 86400) * 1000));
}

QString isoTimeWithOffset(LocalInstant instant) {
    const int minutes = std::abs(instant.offset) / 60;
    return isoTimeOfClockSeconds(instant.clock()) + (instant.offset < 0 ? u'-' : u'+') +
           zeroPadded(minutes / 60, 2) + u':' + zeroPadded(minutes % 60, 2);
}

} // namespace core
