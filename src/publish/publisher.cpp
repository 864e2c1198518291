#include "publish/publisher.h"

#include "core/reading_texts.h"
#include "core/time_stamp.h"
#include "log/log_follower.h"
#include "publish/broker_connection.h"
#include "publish/interval_states.h"
#include "publish/published_mark.h"
#include "publish/record_message.h"

#include <QElapsedTimer>
#include <QFile>

#include <sys/eventfd.h>
#include <unistd.h>

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <map>
#include <mutex>
#include <optional>
#include <poll.h>
#include <thread>
#include <vector>

namespace publish {

namespace {

constexpr int kConnectTimeoutMs = 10000;
constexpr int kIdleWaitMs = 1000;
constexpr int kDrainMs = 1000;
/// Off the window's thread, a commit of the log's writer on a slow disk is waited for.
constexpr int kReadPatienceMs = 2000;

} // namespace

class Publisher::Worker {
  public:
    Worker(const PublishSettings &settings, const QString &directory, Handlers handlers,
           const QStringList &alarms)
        : m_settings(settings), m_directory(directory), m_handlers(std::move(handlers)),
          m_alarms(alarms), m_wakeFd(eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)) {}
    ~Worker() {
        if (m_wakeFd >= 0)
            ::close(m_wakeFd);
    }

    void wake() {
        const std::uint64_t one = 1;
        [[maybe_unused]] const ssize_t written = ::write(m_wakeFd, &one, sizeof one);
    }
    /// A reading was taken and committed: the meter is there.
    void readingsCommitted() {
        m_readingsCommitted = true;
        wake();
    }
    void alarmChanged(const core::AlarmEvent &event) {
        {
            const std::lock_guard lock(m_alarmMutex);
            m_alarmEvents.push_back(event);
        }
        wake();
    }
    void stop() {
        m_stop = true;
        wake();
    }
    /// Its handlers are not called any more: whoever gave them may be gone.
    void silence() {
        const std::lock_guard lock(m_mutex);
        m_handlers = {};
    }
    /// Waits for the thread's end, at most `ms`; whether it ended.
    bool waitForEnd(int ms) {
        std::unique_lock lock(m_mutex);
        return m_ended.wait_for(lock, std::chrono::milliseconds(ms), [this] { return m_done; });
    }
    void run();

  private:
    /// A new client of the broker: nothing the last one queued is sent late.
    void newClient();
    void connect();
    void acknowledged(int mid);
    /// The acknowledged records at the head of those in flight leave it.
    void advanceAcknowledged();
    void publishWaiting();
    /// The records taken since the last look, into the interval's figures, and the clock: an
    /// interval that ended is published when the broker is there, else kept until it is (the
    /// latest alone).
    void followStates();
    void publishState();
    /// The alarms' changes since the last look: each state at once, then the events in order.
    void publishAlarms();
    /// Home Assistant's device, once this run has taken a reading: a meter whose line never
    /// opened makes no device.
    void publishDiscovery();
    /// Until the interval going on is due to end, at most `ms`.
    int untilStateDue(int ms) const;
    void drain();
    void tellFailure(const QString &why);
    void tell(const std::function<void(const QString &)> Handlers::*handler, const QString &text);
    /// Waits `ms`, or less when stopped or woken.
    void waitMs(int ms);

    PublishSettings m_settings;
    QString m_directory;
    Handlers m_handlers;
    QStringList m_alarms;
    std::mutex m_alarmMutex;
    std::deque<core::AlarmEvent> m_alarmEvents;  ///< not yet published
    std::map<QString, QByteArray> m_alarmStates; ///< by topic, the latest
    std::deque<Message> m_alarmMessages;         ///< events not yet published
    bool m_alarmStatesToTell = false;            ///< all of them, on a new connection
    int m_wakeFd;
    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_readingsCommitted{false};
    bool m_discovered = false; ///< on the connection there is
    std::mutex m_mutex;
    std::condition_variable m_ended;
    bool m_done = false;

    std::unique_ptr<BrokerConnection> m_broker;
    logbook::LogFollower m_follower{m_directory, kReadPatienceMs};
    struct InFlight {
        int mid;
        logbook::LogPlace place;
        bool acknowledged;
        std::optional<qint64> taken; ///< when, as an instant
    };
    std::deque<InFlight> m_inFlight;
    logbook::LogPlace m_sent;  ///< the last record handed to the broker
    logbook::LogPlace m_acked; ///< the last of an unbroken run of records the broker took
    /// When they were taken: the next stamp of an hour the clock read twice is read in the pass
    /// nearer it.
    std::optional<qint64> m_sentTaken;
    std::optional<qint64> m_ackedTaken;
    PublishedMark m_mark{m_directory};
    QElapsedTimer m_second;
    int m_sentThisSecond = 0;
    bool m_toldFailure = false;
    bool m_everConnected = false;
    IntervalStates m_states{m_settings.interval, m_settings.temperatureUnit};
    /// The last record in the states; none until the interval going on has been found.
    std::optional<logbook::LogPlace> m_statesRead;
};

void Publisher::Worker::run() {
    if (const std::optional<PublishedMark::Record> mark = m_mark.read()) {
        m_acked = logbook::LogPlace{mark->no, mark->time, false, 0};
    } else {
        // Newly on: from the next reading, not the whole log taken before.
        std::optional<logbook::LogPlace> last = m_follower.lastLiveRecord();
        for (; !last && !m_stop; last = m_follower.lastLiveRecord())
            waitMs(kIdleWaitMs);
        m_acked = last.value_or(logbook::LogPlace{});
        m_mark.moveTo({m_acked.no, m_acked.time});
    }
    m_sent = m_acked;
    m_second.start();
    int retrySeconds = 1;
    int retryMs = 0; ///< after the last try
    QElapsedTimer sinceTry;
    while (!m_stop) {
        followStates();
        if (!m_broker || !m_broker->isConnected()) {
            if (!sinceTry.isValid() || sinceTry.elapsed() >= retryMs) {
                sinceTry.start();
                connect();
                if (!m_broker->isConnected()) {
                    retryMs = retrySeconds * 1000;
                    retrySeconds = std::min(retrySeconds * 2, kMaxRetrySeconds);
                }
            }
            // Meanwhile the states follow the log and the clock.
            if (!m_broker->isConnected()) {
                waitMs(untilStateDue(int(retryMs - sinceTry.elapsed())));
                continue;
            }
            retrySeconds = 1;
        }
        publishDiscovery();
        publishAlarms();
        publishWaiting();
        publishState();
        const bool busy = !m_inFlight.empty();
        if (!m_broker->loop(untilStateDue(busy ? 50 : kIdleWaitMs), m_wakeFd))
            tellFailure(m_broker->lastFailure());
        m_mark.save(false);
    }
    drain();
    m_mark.save(true);
    m_broker.reset();
    // Connections end on the thread that made them.
    m_follower.close();
    std::lock_guard lock(m_mutex);
    m_done = true;
    m_ended.notify_all();
}

void Publisher::Worker::newClient() {
    m_broker = std::make_unique<BrokerConnection>(
        m_settings, QStringLiteral("envmeter-%1-%2").arg(m_settings.meterName()).arg(::getpid()),
        [this](int mid) { acknowledged(mid); });
}

void Publisher::Worker::connect() {
    newClient();
    if (const QString why = m_broker->connect(kConnectTimeoutMs, &m_stop); !why.isEmpty()) {
        if (m_stop)
            return;
        tellFailure(why);
        return;
    }
    if (m_toldFailure || !m_everConnected)
        tell(&Handlers::working,
             QStringLiteral("Publishing to %1 as %2/%3.")
                 .arg(m_settings.broker(), m_settings.prefix, m_settings.meterName()));
    m_toldFailure = false;
    m_everConnected = true;
    m_broker->publish(statusTopic(m_settings), QByteArrayLiteral("online"), true);
    // What changed while the broker was away: the states as they are now.
    m_alarmStatesToTell = true;
    m_discovered = false;
    // What the broker did not acknowledge goes again.
    m_inFlight.clear();
    m_sent = m_acked;
    m_sentTaken = m_ackedTaken;
}

void Publisher::Worker::followStates() {
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    if (!m_statesRead) {
        // From the first record of the interval going on: its state is all of its readings.
        // Read back from now, each stamp in the pass nearer the one after it.
        const qint64 start = m_states.intervalOf(now / 1000).first;
        std::optional<qint64> later = now / 1000;
        m_statesRead = m_follower.placeBefore([&](const QString &stamp) {
            const std::optional<qint64> clock = core::clockSeconds(stamp);
            if (!clock)
                return true;
            later = m_states.zone().instantOf(*clock, later);
            return *later < start;
        });
        if (!m_statesRead)
            return;
        m_states.followFrom(start);
    }
    // While the per-record messages keep up, they read the records for the states too.
    if (!m_broker || !m_broker->isConnected() || !(*m_statesRead == m_sent)) {
        std::vector<logbook::LogRecord> records;
        for (std::vector<logbook::FollowedRecord> rows;
             !(rows = m_follower.recordsAfter(*m_statesRead, kMaxPerSecond)).empty();) {
            records.clear();
            for (logbook::FollowedRecord &row : rows)
                records.push_back(std::move(row.record));
            m_statesRead = rows.back().place;
            m_states.add(records);
        }
    }
    m_states.clockAt(now);
}

void Publisher::Worker::publishDiscovery() {
    if (!m_settings.discovery || m_discovered || !m_readingsCommitted)
        return;
    m_discovered = true;
    for (const Message &m : discoveryMessages(m_settings))
        m_broker->publish(m.topic, m.payload, true);
    for (const Message &m : alarmDiscoveryMessages(m_settings, m_alarms))
        m_broker->publish(m.topic, m.payload, true);
}

void Publisher::Worker::publishAlarms() {
    std::deque<core::AlarmEvent> events;
    {
        const std::lock_guard lock(m_alarmMutex);
        events.swap(m_alarmEvents);
    }
    // The states first: after the broker was away they are right at once.
    std::map<QString, QByteArray> changed;
    for (const core::AlarmEvent &event : events) {
        std::vector<Message> messages = alarmMessages(m_settings, event, m_states.zone());
        changed[messages[0].topic] = m_alarmStates[messages[0].topic] = messages[0].payload;
        m_alarmMessages.push_back(std::move(messages[1]));
    }
    if (std::exchange(m_alarmStatesToTell, false))
        changed = m_alarmStates;
    for (const auto &[topic, payload] : changed)
        m_broker->publish(topic, payload, true);
    while (!m_alarmMessages.empty() &&
           m_broker->publish(m_alarmMessages.front().topic, m_alarmMessages.front().payload,
                             false) >= 0)
        m_alarmMessages.pop_front();
}

void Publisher::Worker::publishState() {
    if (const std::optional<IntervalState> state = m_states.takeLatest())
        for (const Message &m : stateMessages(m_settings, *state))
            m_broker->publish(m.topic, m.payload, true);
}

int Publisher::Worker::untilStateDue(int ms) const {
    const std::optional<qint64> due = m_states.msUntilDue(QDateTime::currentMSecsSinceEpoch());
    return due ? int(std::clamp<qint64>(*due, 0, std::max(ms, 0))) : ms;
}

void Publisher::Worker::tellFailure(const QString &why) {
    if (m_toldFailure)
        return;
    m_toldFailure = true;
    tell(&Handlers::failed, QStringLiteral("Publishing to %1 failed: %2. The readings are logged "
                                           "as ever and are published once the broker takes them.")
                                .arg(m_settings.broker(), why));
}

void Publisher::Worker::tell(const std::function<void(const QString &)> Handlers::*handler,
                             const QString &text) {
    const std::lock_guard lock(m_mutex);
    if (m_handlers.*handler)
        (m_handlers.*handler)(text);
}

void Publisher::Worker::waitMs(int ms) {
    pollfd wake{m_wakeFd, POLLIN, 0};
    if (!m_stop && poll(&wake, 1, std::max(ms, 0)) > 0) {
        std::uint64_t wakes = 0;
        [[maybe_unused]] const ssize_t taken = ::read(m_wakeFd, &wakes, sizeof wakes);
    }
}

void Publisher::Worker::acknowledged(int mid) {
    for (InFlight &f : m_inFlight)
        if (f.mid == mid)
            f.acknowledged = true;
    advanceAcknowledged();
}

void Publisher::Worker::advanceAcknowledged() {
    while (!m_inFlight.empty() && m_inFlight.front().acknowledged) {
        m_acked = m_inFlight.front().place;
        if (m_inFlight.front().taken)
            m_ackedTaken = m_inFlight.front().taken;
        m_inFlight.pop_front();
        m_mark.moveTo({m_acked.no, m_acked.time});
    }
}

void Publisher::Worker::publishWaiting() {
    if (m_second.elapsed() >= 1000) {
        m_second.restart();
        m_sentThisSecond = 0;
    }
    const int room =
        std::min(kMaxInFlight - int(m_inFlight.size()), kMaxPerSecond - m_sentThisSecond);
    if (room <= 0)
        return;
    // Caught up with the states, the records read here are theirs too.
    const bool forStates = m_statesRead && *m_statesRead == m_sent;
    std::vector<logbook::LogRecord> taken;
    for (logbook::FollowedRecord &row : m_follower.recordsAfter(m_sent, room)) {
        const QString topic = recordTopic(m_settings, row.record.function);
        const core::ZoneClock &zone = m_states.zone();
        std::optional<qint64> takenAt;
        if (const std::optional<qint64> clock = core::clockSeconds(row.record.time))
            takenAt =
                zone.instantOf(*clock, m_sentTaken.value_or(QDateTime::currentSecsSinceEpoch()));
        int mid = -1;
        if (!topic.isEmpty()) {
            mid = m_broker->publish(topic,
                                    recordPayload(row.record, takenAt
                                                                  ? std::optional(zone.at(*takenAt))
                                                                  : std::nullopt),
                                    false);
            if (mid < 0)
                break;
        }
        // A record with no function has nowhere to go: it counts as taken.
        m_inFlight.push_back({mid, row.place, mid < 0, takenAt});
        m_sent = row.place;
        if (takenAt)
            m_sentTaken = takenAt;
        ++m_sentThisSecond;
        if (forStates)
            taken.push_back(std::move(row.record));
    }
    if (forStates) {
        m_states.add(taken);
        m_statesRead = m_sent;
    }
    advanceAcknowledged();
}

void Publisher::Worker::drain() {
    if (!m_broker || !m_broker->isConnected())
        return;
    QElapsedTimer waited;
    waited.start();
    while (waited.elapsed() < kDrainMs && m_broker->isConnected()) {
        publishWaiting();
        if (m_inFlight.empty())
            break;
        m_broker->loop(20);
    }
    m_broker->disconnect(statusTopic(m_settings));
}

Publisher::Publisher(const PublishSettings &settings, const QString &logDirectory,
                     Handlers handlers, const QStringList &alarms)
    : m_worker(std::make_shared<Worker>(settings, logDirectory, std::move(handlers), alarms)) {
    // The thread keeps its worker alive: a broker that hangs at the end cannot hold the
    // program up, nor leave the thread without its state.
    std::thread([worker = m_worker] { worker->run(); }).detach();
}

Publisher::~Publisher() {
    m_worker->stop();
    m_worker->waitForEnd(m_stopWaitMs);
    m_worker->silence();
}

void Publisher::recordsCommitted() { m_worker->readingsCommitted(); }

void Publisher::alarmChanged(const core::AlarmEvent &event) { m_worker->alarmChanged(event); }

} // namespace publish
