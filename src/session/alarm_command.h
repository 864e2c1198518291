#pragma once

#include "core/alarm_watch.h"
#include "core/zone_clock.h"

#include <QObject>
#include <QString>

#include <functional>

namespace session {

/// The command= of the alarms, run at each alarm raised and cleared: split into words as a
/// shell would, run without one, the event in its environment (ENVMETER_METER, ENVMETER_EVENT,
/// ENVMETER_ALARM, ENVMETER_LIMIT, ENVMETER_VALUE, ENVMETER_PEAK, ENVMETER_UNIT,
/// ENVMETER_SINCE). It runs beside the readings, never holding one up; one still running after
/// kLimitMs is ended.
class AlarmCommand {
  public:
    static constexpr int kLimitMs = 60000;

    /// `failed`: why a run failed, in words for the user; told once until a run succeeds.
    AlarmCommand(QString command, QString meterName, std::function<void(const QString &)> failed);
    /// Ends the runs still going.
    ~AlarmCommand();
    AlarmCommand(const AlarmCommand &) = delete;
    AlarmCommand &operator=(const AlarmCommand &) = delete;

    void run(const core::AlarmEvent &event, const core::ZoneClock &zone);

  private:
    void ranWith(const QString &failure);

    QString m_command;
    QString m_meterName;
    std::function<void(const QString &)> m_failed;
    bool m_toldFailure = false;
    QObject m_runs; ///< the runs going on, its children
};

} // namespace session
