#include "core/alarm_watch.h"

#include "core/reading_texts.h"

#include <cmath>

namespace core {

AlarmWatch::AlarmWatch(std::vector<AlarmRule> rules)
    : m_rules(std::move(rules)), m_going(m_rules.size()) {}

AlarmEvent AlarmWatch::ended(Going &going, AlarmEvent::Change change, std::optional<double> value,
                             qint64 instant) {
    AlarmEvent e = going.event;
    e.change = change;
    e.value = value;
    e.at = instant;
    if (going.count > 0 && e.function == kFunctionSound)
        e.leq = 10 * std::log10(going.energy / double(going.count));
    going = {};
    return e;
}

std::vector<AlarmEvent> AlarmWatch::takeRange(const QString &function, const QString &unit,
                                              std::optional<double> lowest,
                                              std::optional<double> highest, qint64 instant) {
    std::vector<AlarmEvent> changes;
    if (function != m_function) {
        for (Going &g : m_going)
            if (g.on)
                changes.push_back(
                    ended(g, g.raised ? AlarmEvent::Change::Cleared : AlarmEvent::Change::Passed,
                          std::nullopt, instant));
        m_function = function;
    }
    const bool sound = function == kFunctionSound;
    if (!highest && sound)
        return changes;
    for (std::size_t i = 0; i < m_rules.size(); ++i) {
        const AlarmRule &rule = m_rules[i];
        if (rule.function != function)
            continue;
        Going &g = m_going[i];
        std::optional<double> value = rule.above ? highest : lowest;
        if (value && !rule.unit.isEmpty())
            value = temperatureIn(*value, unit, rule.unit);
        // Past the limit, or, raised, past it by the hysteresis the other way.
        const double back = g.raised ? rule.hysteresis : 0;
        const bool meets = !value       ? rule.above
                           : rule.above ? *value >= rule.limit
                                        : *value <= rule.limit;
        const bool ends = !value       ? !rule.above
                          : rule.above ? *value < rule.limit - back
                                       : *value > rule.limit + back;
        if (g.on && ends) {
            changes.push_back(
                ended(g, g.raised ? AlarmEvent::Change::Cleared : AlarmEvent::Change::Passed, value,
                      instant));
            continue;
        }
        if (!g.on) {
            if (!meets)
                continue;
            g.on = true;
            g.event = {AlarmEvent::Change::Raised,
                       i,
                       rule.name,
                       rule.quantity,
                       function,
                       rule.unit.isEmpty() ? unit : rule.unit,
                       rule.above,
                       rule.limit,
                       value,
                       value.value_or(rule.limit),
                       instant,
                       instant,
                       std::nullopt};
        }
        if (value) {
            g.event.peak =
                rule.above ? std::max(g.event.peak, *value) : std::min(g.event.peak, *value);
            if (sound) {
                g.energy += std::pow(10.0, *value / 10);
                ++g.count;
            }
        }
        if (!g.raised && double(instant - g.event.since) >= rule.forSeconds) {
            g.raised = true;
            AlarmEvent raised = g.event;
            raised.value = value;
            raised.at = instant;
            changes.push_back(raised);
        }
    }
    return changes;
}

std::vector<AlarmEvent> AlarmWatch::going() const {
    std::vector<AlarmEvent> on;
    for (const Going &g : m_going)
        if (g.on) {
            AlarmEvent e = g.event;
            e.change = g.raised ? AlarmEvent::Change::Raised : AlarmEvent::Change::Passed;
            if (g.count > 0 && e.function == kFunctionSound)
                e.leq = 10 * std::log10(g.energy / double(g.count));
            on.push_back(e);
        }
    return on;
}

} // namespace core
