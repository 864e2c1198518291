#pragma once

#include "core/alarm_rules.h"

#include <QString>

#include <optional>
#include <vector>

namespace core {

/// A change of an alarm, or an event that passed before it was held long enough to raise one.
struct AlarmEvent {
    enum class Change { Raised, Cleared, Passed };
    Change change = Change::Raised;
    std::size_t rule = 0; ///< into the rules watched
    QString name;         ///< the rule's
    QString quantity;
    QString function;
    QString unit; ///< of limit, value and peak: the limit's for temperature, else the readings'
    bool above = true;
    double limit = 0;
    std::optional<double> value; ///< the reading that made the change; none past a function change
    double peak = 0;             ///< the highest (above) or lowest (below) while it held
    qint64 since = 0;            ///< the instant of its first reading (seconds since the epoch)
    qint64 at = 0;               ///< the instant of the change
    std::optional<double> leq;   ///< sound: the energy average of its readings
};

/// Watches readings against alarm rules. A reading at or above an above-limit (at or below a
/// below-limit) begins an event; once the event has held for the rule's `for` it raises the
/// alarm, which clears at the first reading past the limit by the hysteresis. An event that
/// ends sooner passes without raising. A reading of another function ends every event of the
/// function before. An overload of light is above any limit; an overload of sound (over or
/// under the range, the meter does not say which) leaves every event as it is.
class AlarmWatch {
  public:
    explicit AlarmWatch(std::vector<AlarmRule> rules);

    const std::vector<AlarmRule> &rules() const { return m_rules; }
    /// A reading taken at `instant`: its function, unit, and level (none for an overload).
    /// The changes it makes, in the rules' order.
    std::vector<AlarmEvent> take(const QString &function, const QString &unit,
                                 std::optional<double> level, qint64 instant) {
        return takeRange(function, unit, level, level, instant);
    }
    /// Readings known only by their range, as one taken at `instant`: an above-limit sees the
    /// highest level, a below-limit the lowest.
    std::vector<AlarmEvent> takeRange(const QString &function, const QString &unit,
                                      std::optional<double> lowest, std::optional<double> highest,
                                      qint64 instant);
    /// The events going on, raised or not yet: each as it would be told now.
    std::vector<AlarmEvent> going() const;

  private:
    struct Going {
        bool on = false;
        bool raised = false;
        AlarmEvent event;
        double energy = 0;
        qint64 count = 0;
    };
    AlarmEvent ended(Going &going, AlarmEvent::Change change, std::optional<double> value,
                     qint64 instant);

    std::vector<AlarmRule> m_rules;
    std::vector<Going> m_going;
    QString m_function;
};

} // namespace core
