#include "core/zone_clock.h"

#include <QRegularExpression>

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace core {

namespace {

/// Far enough out that no clock reading reaches it, near enough that adding an offset cannot
/// overflow.
constexpr qint64 kNever = qint64(1) << 50;
constexpr qint64 kDaySeconds = 86400;
/// No zone is further than this from UTC, and no change moves its clock further.
constexpr qint64 kWidestOffset = 15 * 3600;

QDateTime utcTime(qint64 instant) { return QDateTime::fromSecsSinceEpoch(instant, Qt::UTC); }

/// The calendar interval of the clock that holds a local second (the clock's seconds since its
/// 1970-01-01T00:00:00), in local seconds.
std::pair<qint64, qint64> clockInterval(qint64 local, int seconds) {
    const qint64 day = local - (local % kDaySeconds + kDaySeconds) % kDaySeconds;
    const qint64 start = day + (local - day) / seconds * seconds;
    return {start, std::min(start + seconds, day + kDaySeconds)};
}

} // namespace

ZoneClock::ZoneClock(QTimeZone zone) : m_zone(std::move(zone)) {}

const ZoneClock::Segment &ZoneClock::segmentAt(qint64 instant) const {
    if (m_known && instant >= m_segment.from && instant < m_segment.to)
        return m_segment;
    Segment s;
    s.offset = m_zone.offsetFromUtc(utcTime(instant));
    const QTimeZone::OffsetData previous = m_zone.previousTransition(utcTime(instant + 1));
    const QTimeZone::OffsetData next = m_zone.nextTransition(utcTime(instant));
    s.from = previous.atUtc.isValid() ? previous.atUtc.toSecsSinceEpoch() : -kNever;
    s.to = next.atUtc.isValid() ? next.atUtc.toSecsSinceEpoch() : kNever;
    s.before = previous.atUtc.isValid() ? m_zone.offsetFromUtc(utcTime(s.from - 1)) : s.offset;
    s.after = next.atUtc.isValid() ? next.offsetFromUtc : s.offset;
    s.onceFrom = s.from == -kNever ? -kNever : s.from + std::max(s.offset, s.before);
    s.onceTo = s.to == kNever ? kNever : s.to + std::min(s.offset, s.after);
    m_segment = s;
    m_known = true;
    return m_segment;
}

int ZoneClock::offsetAt(qint64 instant) const { return segmentAt(instant).offset; }

LocalInstant ZoneClock::takenAt(qint64 clockSecond, std::optional<qint64> near) const {
    const qint64 local = clockSecond - kEpochClockSeconds;
    // Most readings fall where the clock reads each second once, at the offset of the last.
    if (m_known && local >= m_segment.onceFrom && local < m_segment.onceTo)
        return {local - m_segment.offset, m_segment.offset};
    const qint64 instant = instantNearChange(local, near);
    return {instant, segmentAt(instant).offset};
}

qint64 ZoneClock::instantNearChange(qint64 local, std::optional<qint64> near) const {
    // The stretches of one offset around the reading: each holds it at most once.
    const qint64 from = local - kWidestOffset;
    const qint64 to = local + kWidestOffset;
    std::vector<std::pair<qint64, int>> starts{{from, m_zone.offsetFromUtc(utcTime(from))}};
    for (const QTimeZone::OffsetData &change : m_zone.transitions(utcTime(from), utcTime(to)))
        starts.emplace_back(change.atUtc.toSecsSinceEpoch(), change.offsetFromUtc);
    std::vector<qint64> instants;
    for (std::size_t i = 0; i < starts.size(); ++i) {
        const qint64 instant = local - starts[i].second;
        const qint64 end = i + 1 < starts.size() ? starts[i + 1].first : to;
        if (instant >= starts[i].first && instant < end)
            instants.push_back(instant);
    }
    if (instants.empty()) {
        // Skipped by the clock: the clock that wrote it had not yet been put forward.
        for (std::size_t i = 1; i < starts.size(); ++i)
            if (local >= starts[i].first + starts[i - 1].second &&
                local < starts[i].first + starts[i].second)
                return local - starts[i - 1].second;
        return local - starts.front().second;
    }
    if (!near || instants.size() == 1)
        return instants.front();
    return *std::min_element(instants.begin(), instants.end(), [&near](qint64 a, qint64 b) {
        return std::abs(a - *near) < std::abs(b - *near);
    });
}

std::optional<qint64> ZoneClock::foldOf(qint64 clockSecond) const {
    const qint64 first = instantOf(clockSecond);
    const qint64 later = instantOf(clockSecond, kNever);
    if (later == first)
        return std::nullopt;
    return m_zone.nextTransition(utcTime(first)).atUtc.toSecsSinceEpoch();
}

std::pair<qint64, qint64> ZoneClock::intervalOf(qint64 instant, int seconds) const {
    const auto clockOf = [this](qint64 at) { return at + offsetAt(at); };
    const std::pair<qint64, qint64> interval = clockInterval(clockOf(instant), seconds);
    const auto [clockStart, clockEnd] = interval;
    // Where the clock enters a new interval at a change: it jumps to the first second of one,
    // or to another interval.
    const auto beginsAt = [&](qint64 change) {
        const qint64 clock = clockOf(change);
        const std::pair<qint64, qint64> entered = clockInterval(clock, seconds);
        return clock == entered.first || entered != clockInterval(clockOf(change - 1), seconds);
    };
    qint64 start = instant;
    for (;;) {
        const Segment s = segmentAt(start);
        const qint64 candidate = start - (start + s.offset - clockStart);
        if (candidate >= s.from) {
            start = candidate;
            break;
        }
        if (beginsAt(s.from)) {
            start = s.from;
            break;
        }
        start = s.from - 1;
    }
    qint64 end = instant;
    for (;;) {
        const Segment s = segmentAt(end);
        const qint64 candidate = end + (clockEnd - (end + s.offset));
        if (candidate < s.to || s.to == kNever) {
            end = candidate;
            break;
        }
        end = s.to;
        if (beginsAt(end))
            break;
    }
    return {start, end};
}

std::optional<qint64> instantOfBound(QStringView text, bool end, const ZoneClock &zone) {
    static const QRegularExpression offsetAtEnd(QStringLiteral("(Z|([+-])(\\d\\d):(\\d\\d))$"));
    const QString typed = text.trimmed().toString();
    const QRegularExpressionMatch offset = offsetAtEnd.match(typed);
    const std::optional<qint64> clock = clockSecondsOfBound(
        offset.hasMatch() ? QStringView(typed).left(offset.capturedStart()) : QStringView(typed),
        end);
    if (!clock)
        return std::nullopt;
    if (!offset.hasMatch())
        return zone.instantOf(*clock);
    const int hours = offset.captured(3).toInt();
    const int minutes = offset.captured(4).toInt();
    if (hours > 14 || minutes > 59)
        return std::nullopt;
    const qint64 seconds = (hours * 60 + minutes) * 60;
    return *clock - kEpochClockSeconds - (offset.captured(2) == u"-" ? -seconds : seconds);
}

} // namespace core
