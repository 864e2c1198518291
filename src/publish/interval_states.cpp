#include "publish/interval_states.h"

#include "core/reading_texts.h"
#include "core/time_stamp.h"

namespace publish {

namespace {

constexpr qint64 kDaySeconds = 86400;

/// A temperature read in one unit, in the other.
double converted(double value, const QString &toUnit) {
    return toUnit == core::kUnitFahrenheit ? value * 9 / 5 + 32 : (value - 32) * 5 / 9;
}

/// The records' entries, temperatures read in the other unit converted to `unit`.
stats::CompactLog inTemperatureUnit(std::span<const logbook::LogRecord> records,
                                    const QString &unit) {
    stats::CompactLog log = stats::compactLog(records);
    std::vector<bool> other(log.groups.size(), false);
    for (std::size_t g = 0; g < log.groups.size(); ++g) {
        auto &[function, groupUnit] = log.groups[g];
        if (function == core::kFunctionTemp && groupUnit != unit &&
            (groupUnit == core::kUnitCelsius || groupUnit == core::kUnitFahrenheit)) {
            other[g] = true;
            groupUnit = unit;
        }
    }
    for (stats::Entry &e : log.entries)
        if (e.group != stats::Entry::kLeftOut && other[std::size_t(e.group)] &&
            e.kind == stats::Entry::kLevel)
            e.level = converted(e.level, unit);
    return log;
}

} // namespace

struct IntervalStates::Open {
    qint64 start = 0;
    qint64 end = 0;
    stats::FigureBuilder figures{stats::SpanQuery{}};
};

IntervalStates::IntervalStates(int seconds, QString temperatureUnit)
    : m_seconds(seconds), m_temperatureUnit(std::move(temperatureUnit)) {}

IntervalStates::~IntervalStates() = default;

std::pair<qint64, qint64> IntervalStates::intervalOf(qint64 clockSecond) const {
    const qint64 day = clockSecond - clockSecond % kDaySeconds;
    const qint64 start = day + (clockSecond - day) / m_seconds * m_seconds;
    return {start, std::min(start + m_seconds, day + kDaySeconds)};
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
        const std::optional<qint64> time = core::clockSeconds(records[i].time);
        if (!time || (m_open && *time >= m_open->start && *time < m_open->end))
            continue;
        addStretch(i);
        // Stamped outside the interval going on: that one is over, as far as readings go,
        // whether the clock went on or was set back.
        endInterval();
        const auto [start, end] = intervalOf(*time);
        m_open = std::make_unique<Open>();
        m_open->start = start;
        m_open->end = end;
    }
    addStretch(records.size());
}

void IntervalStates::clockAt(qint64 clockMs) {
    if (msUntilDue(clockMs).value_or(1) <= 0)
        endInterval();
}

std::optional<qint64> IntervalStates::msUntilDue(qint64 clockMs) const {
    if (!m_open)
        return std::nullopt;
    // A clock set back before the interval ends it too.
    if (clockMs < m_open->start * 1000 - kGraceMs)
        return 0;
    return m_open->end * 1000 + kGraceMs - clockMs;
}

std::optional<IntervalState> IntervalStates::takeLatest() { return std::exchange(m_latest, {}); }

void IntervalStates::endInterval() {
    if (!m_open)
        return;
    IntervalState state{m_open->start, m_open->end, m_open->figures.span().groups};
    m_open.reset();
    if (!state.groups.empty())
        m_latest = std::move(state);
}

} // namespace publish
