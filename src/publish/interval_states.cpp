#include "publish/interval_states.h"

#include "core/reading_texts.h"
#include "core/time_stamp.h"

namespace publish {

namespace {

/// The records' entries, temperatures read in the other unit converted to `unit`.
stats::CompactLog inTemperatureUnit(std::span<const logbook::LogRecord> records,
                                    const QString &unit) {
    stats::CompactLog log = stats::compactLog(records);
    // The unit each group of temperatures was read in, where it is the other one.
    std::vector<QString> readIn(log.groups.size());
    for (std::size_t g = 0; g < log.groups.size(); ++g) {
        auto &[function, groupUnit] = log.groups[g];
        if (function == core::kFunctionTemp && groupUnit != unit &&
            (groupUnit == core::kUnitCelsius || groupUnit == core::kUnitFahrenheit))
            readIn[g] = std::exchange(groupUnit, unit);
    }
    for (stats::Entry &e : log.entries)
        if (e.group != stats::Entry::kLeftOut && !readIn[std::size_t(e.group)].isEmpty() &&
            e.kind == stats::Entry::kLevel)
            e.level = core::temperatureIn(e.level, readIn[std::size_t(e.group)], unit);
    return log;
}

} // namespace

struct IntervalStates::Open {
    Open(qint64 start, qint64 end, const core::ZoneClock &zone)
        : start(start), end(end), figures(queryIn(zone)) {}
    static stats::SpanQuery queryIn(const core::ZoneClock &zone) {
        stats::SpanQuery query;
        query.zone = zone;
        return query;
    }
    qint64 start;
    qint64 end;
    stats::FigureBuilder figures;
};

IntervalStates::IntervalStates(int seconds, QString temperatureUnit, core::ZoneClock zone)
    : m_seconds(seconds), m_temperatureUnit(std::move(temperatureUnit)), m_zone(std::move(zone)) {}

IntervalStates::~IntervalStates() = default;

std::pair<qint64, qint64> IntervalStates::intervalOf(qint64 instant) const {
    return m_zone.intervalOf(instant, m_seconds);
}

void IntervalStates::followFrom(qint64 instant) {
    m_previous = instant;
    m_firstTold = instant;
}

void IntervalStates::add(std::span<const logbook::LogRecord> records) {
    // Each stretch of records of one interval goes in at once.
    std::size_t first = 0;
    const auto addStretch = [&](std::size_t end) {
        if (m_open && end > first)
            m_open->figures.add(
                inTemperatureUnit(records.subspan(first, end - first), m_temperatureUnit));
        first = end;
    };
    for (std::size_t i = 0; i < records.size(); ++i) {
        const std::optional<qint64> clock = core::clockSeconds(records[i].time);
        if (!clock)
            continue;
        const std::optional<qint64> before = m_previous;
        const qint64 time = m_zone.instantOf(*clock, before);
        m_previous = time;
        if (m_open && time >= m_open->start && time < m_open->end)
            continue;
        addStretch(i);
        // Taken outside the interval going on: that one is over, as far as readings go,
        // whether the clock went on or was set back.
        endInterval();
        const auto [start, end] = intervalOf(time);
        m_open = std::make_unique<Open>(start, end, m_zone);
        if (before)
            m_open->figures.follow(*before);
    }
    addStretch(records.size());
}

void IntervalStates::clockAt(qint64 nowMs) {
    if (msUntilDue(nowMs).value_or(1) <= 0)
        endInterval();
}

std::optional<qint64> IntervalStates::msUntilDue(qint64 nowMs) const {
    if (!m_open)
        return std::nullopt;
    // A clock set back before the interval ends it too.
    if (nowMs < m_open->start * 1000 - kGraceMs)
        return 0;
    return m_open->end * 1000 + kGraceMs - nowMs;
}

std::optional<IntervalState> IntervalStates::takeLatest() { return std::exchange(m_latest, {}); }

void IntervalStates::endInterval() {
    if (!m_open)
        return;
    IntervalState state{m_zone.at(m_open->start), m_zone.at(m_open->end),
                        m_open->figures.span().groups};
    m_open.reset();
    // Those before the first told were told before this program followed the log.
    if (!state.groups.empty() && state.end.utc > m_firstTold.value_or(state.end.utc - 1))
        m_latest = std::move(state);
}

} // namespace publish
