#pragma once

#include "core/alarm_watch.h"
#include "publish/publish_settings.h"

#include <QString>

#include <functional>
#include <memory>

namespace publish {

/// Publishes every record of the log in a folder to the broker, in order, at least once, on a
/// thread of its own: the log is the queue. It remembers beside the log the last record the
/// broker acknowledged (envmeter-published) and goes on after it: after the broker was away,
/// after the program was stopped, and across a record limit through the backup. Taking readings
/// never waits for it.
class Publisher {
  public:
    struct Handlers {
        /// Publishing failed, in words for the user naming the broker and why; told once until
        /// it works again.
        std::function<void(const QString &)> failed;
        /// Publishing works, first or again after a failure that was told.
        std::function<void(const QString &)> working;
    };

    /// Unacknowledged records at most, and records a second at most while catching up.
    static constexpr int kMaxInFlight = 100;
    static constexpr int kMaxPerSecond = 1000;
    /// Reconnection waits from 1 s, doubling, up to this.
    static constexpr int kMaxRetrySeconds = 30;

    /// How long a leaving publisher waits for the broker, unless told otherwise.
    static constexpr int kStopWaitMs = 1500;

    /// Handlers are called on the publisher's thread. `alarms`: the names of the alarms set,
    /// each a binary sensor of Home Assistant.
    Publisher(const PublishSettings &settings, const QString &logDirectory, Handlers handlers,
              const QStringList &alarms = {});
    /// Publishes what it can for a moment, says "offline" and leaves the broker, waiting for
    /// that at most stopWait() (the rest goes on without it).
    ~Publisher();
    void setStopWait(int ms) { m_stopWaitMs = ms; }
    int stopWait() const { return m_stopWaitMs; }
    Publisher(const Publisher &) = delete;
    Publisher &operator=(const Publisher &) = delete;

    /// Records were committed to the log: from any thread, never waiting.
    void recordsCommitted();
    /// An alarm was raised or cleared: its state and the event are published at once, or, while
    /// the broker is away, the latest state as soon as it is back and the events after it, in
    /// order. From any thread, never waiting.
    void alarmChanged(const core::AlarmEvent &event);

  private:
    class Worker;
    std::shared_ptr<Worker> m_worker;
    int m_stopWaitMs = kStopWaitMs;
};

} // namespace publish
