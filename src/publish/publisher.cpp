#include "publish/publisher.h"

#include "core/reading_texts.h"
#include "core/time_stamp.h"
#include "log/connection.h"
#include "log/log_database.h"
#include "log/record_window.h"
#include "publish/broker_connection.h"
#include "publish/published_mark.h"
#include "publish/record_message.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QSqlQuery>
#include <QVariant>

#include <sys/eventfd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
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

/// A record's place: its number and time stamp (numbers start again after the record limit),
/// and where it was last seen.
struct Place {
    qint32 no = -1; ///< -1: before the live log's first record
    QString time;
    bool inBackup = false;
    qint64 rowId = 0;
};

struct Row {
    Place place;
    logbook::LogRecord record;
};

} // namespace

class Publisher::Worker {
  public:
    Worker(const PublishSettings &settings, const QString &directory, Handlers handlers)
        : m_settings(settings), m_directory(directory), m_handlers(std::move(handlers)),
          m_wakeFd(eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)) {}
    ~Worker() {
        if (m_wakeFd >= 0)
            ::close(m_wakeFd);
    }

    void wake() {
        const std::uint64_t one = 1;
        [[maybe_unused]] const ssize_t written = ::write(m_wakeFd, &one, sizeof one);
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
    QString file(const QString &name) const { return QDir(m_directory).filePath(name); }
    QString logFile(bool backup) const {
        return file(backup ? logbook::kBackupLogFile : logbook::kLiveLogFile);
    }
    void connect();
    void acknowledged(int mid);
    /// The acknowledged records at the head of those in flight leave it.
    void advanceAcknowledged();
    void publishWaiting();
    void drain();
    void tellFailure(const QString &why);
    void tell(const std::function<void(const QString &)> Handlers::*handler, const QString &text);
    void waitMs(int ms);
    std::vector<Row> rowsAfter(Place &place, int count);
    std::optional<Place> located(const Place &place);
    std::optional<Place> firstLaterRecord(const Place &place);
    /// Nothing while the log cannot be read.
    std::optional<Place> lastLiveRecord();
    /// The open connection to the live log or the backup, opened again when the file is
    /// another one than before; nothing when it cannot be opened now.
    const logbook::Connection *connection(bool backup);

    PublishSettings m_settings;
    QString m_directory;
    Handlers m_handlers;
    int m_wakeFd;
    std::atomic<bool> m_stop{false};
    std::mutex m_mutex;
    std::condition_variable m_ended;
    bool m_done = false;

    std::unique_ptr<BrokerConnection> m_broker;
    struct KeptConnection {
        std::unique_ptr<logbook::Connection> connection;
        dev_t device = 0;
        ino_t inode = 0;
    };
    KeptConnection m_kept[2]; ///< the live log's, the backup's
    struct InFlight {
        int mid;
        Place place;
        bool acknowledged;
    };
    std::deque<InFlight> m_inFlight;
    Place m_sent;  ///< the last record handed to the broker
    Place m_acked; ///< the last of an unbroken run of records the broker took
    PublishedMark m_mark{m_directory};
    QElapsedTimer m_second;
    int m_sentThisSecond = 0;
    bool m_toldFailure = false;
    bool m_everConnected = false;
    QString m_temperatureUnit = QStringLiteral("C");
};

void Publisher::Worker::run() {
    m_broker = std::make_unique<BrokerConnection>(
        m_settings, QStringLiteral("envmeter-%1-%2").arg(m_settings.meterName()).arg(::getpid()),
        [this](int mid) { acknowledged(mid); });
    if (const std::optional<PublishedMark::Record> mark = m_mark.read()) {
        m_acked = Place{mark->no, mark->time, false, 0};
    } else {
        // Newly on: from the next reading, not the whole log taken before.
        std::optional<Place> last = lastLiveRecord();
        for (; !last && !m_stop; last = lastLiveRecord())
            waitMs(kIdleWaitMs);
        m_acked = last.value_or(Place{});
        m_mark.moveTo({m_acked.no, m_acked.time});
    }
    m_sent = m_acked;
    m_second.start();
    int retrySeconds = 1;
    while (!m_stop) {
        if (!m_broker->isConnected()) {
            connect();
            if (!m_broker->isConnected()) {
                waitMs(retrySeconds * 1000);
                retrySeconds = std::min(retrySeconds * 2, kMaxRetrySeconds);
                continue;
            }
            retrySeconds = 1;
        }
        publishWaiting();
        const bool busy = !m_inFlight.empty();
        if (!m_broker->loop(busy ? 50 : kIdleWaitMs, m_wakeFd))
            tellFailure(m_broker->lastFailure());
        m_mark.save(false);
    }
    drain();
    m_mark.save(true);
    m_broker.reset();
    // Connections end on the thread that made them.
    for (KeptConnection &kept : m_kept)
        kept.connection.reset();
    std::lock_guard lock(m_mutex);
    m_done = true;
    m_ended.notify_all();
}

void Publisher::Worker::connect() {
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
    if (m_settings.discovery)
        for (const Message &m : discoveryMessages(m_settings, m_temperatureUnit))
            m_broker->publish(m.topic, m.payload, true);
    // What the broker did not acknowledge goes again.
    m_inFlight.clear();
    m_sent = m_acked;
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
    QElapsedTimer waited;
    waited.start();
    while (!m_stop && waited.elapsed() < ms)
        poll(&wake, 1, int(ms - waited.elapsed()));
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
    for (Row &row : rowsAfter(m_sent, room)) {
        const QString topic = recordTopic(m_settings, row.record.function);
        int mid = -1;
        if (!topic.isEmpty()) {
            if (m_settings.discovery && row.record.function == core::kFunctionTemp &&
                row.record.unit != m_temperatureUnit && !row.record.unit.isEmpty()) {
                m_temperatureUnit = row.record.unit;
                for (const Message &m : discoveryMessages(m_settings, m_temperatureUnit))
                    if (m.topic.contains(u"/temperature/"))
                        m_broker->publish(m.topic, m.payload, true);
            }
            mid = m_broker->publish(topic, recordPayload(row.record), false);
            if (mid < 0)
                return;
        }
        // A record with no function has nowhere to go: it counts as taken.
        m_inFlight.push_back({mid, row.place, mid < 0});
        m_sent = row.place;
        ++m_sentThisSecond;
    }
    advanceAcknowledged();
}

void Publisher::Worker::drain() {
    if (!m_broker->isConnected())
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

std::vector<Row> Publisher::Worker::rowsAfter(Place &from, int count) {
    std::vector<Row> rows;
    const std::optional<Place> start = located(from);
    if (!start)
        return rows;
    from = *start;
    Place at = *start;
    for (int pass = 0; pass < 2 && int(rows.size()) < count; ++pass) {
        const logbook::Connection *db = connection(at.inBackup);
        if (!db)
            return rows;
        QSqlQuery query(db->database());
        query.prepare(
            QStringLiteral("SELECT rowid, AAA, BBB, CCC, DDD, EEE FROM b1 WHERE rowid > ? "
                           "ORDER BY rowid LIMIT ?"));
        query.addBindValue(at.rowId);
        query.addBindValue(count - int(rows.size()));
        if (!query.exec())
            return rows;
        while (query.next()) {
            const logbook::LogRecord record{query.value(1).toInt(), query.value(2).toString(),
                                            query.value(3).toString(), query.value(4).toString(),
                                            query.value(5).toString()};
            at = Place{record.no, record.time, at.inBackup, query.value(0).toLongLong()};
            rows.push_back({at, record});
        }
        if (!at.inBackup)
            break;
        // The backup's last record is published: the live log follows from its start.
        at = Place{};
    }
    return rows;
}

std::optional<Place> Publisher::Worker::located(const Place &place) {
    if (place.no < 0)
        return Place{};
    enum class Found { Yes, No, Unreadable };
    Place here;
    const auto find = [&](bool inBackup, bool atRow) {
        const QString path = logFile(inBackup);
        if (!QFileInfo::exists(path))
            return Found::No;
        const logbook::Connection *db = connection(inBackup);
        if (!db)
            return Found::Unreadable;
        QSqlQuery query(db->database());
        query.prepare(QStringLiteral("SELECT rowid FROM b1 WHERE AAA = ? AND EEE = ? %1 ORDER BY "
                                     "rowid DESC LIMIT 1")
                          .arg(atRow ? QStringLiteral("AND rowid = ?") : QString()));
        query.addBindValue(place.no);
        query.addBindValue(place.time);
        if (atRow)
            query.addBindValue(place.rowId);
        if (!query.exec())
            return Found::Unreadable;
        if (!query.next())
            return Found::No;
        here = Place{place.no, place.time, inBackup, query.value(0).toLongLong()};
        return Found::Yes;
    };
    // Where it was last seen, or else wherever the record is now. A log that cannot be read
    // just now (the writer's commit on a slow disk) is tried again later, never skipped.
    for (const auto &[inBackup, atRow] :
         {std::pair(place.inBackup, true), std::pair(false, false), std::pair(true, false)}) {
        const Found found = find(inBackup, atRow);
        if (found == Found::Yes)
            return here;
        if (found == Found::Unreadable)
            return std::nullopt;
    }
    return firstLaterRecord(place);
}

std::optional<Place> Publisher::Worker::firstLaterRecord(const Place &place) {
    // Neither log has it: the live log was emptied (Clear All) or replaced (a log loaded).
    // What was taken after the record acknowledged last follows it: the records stamped later.
    const std::optional<qint64> acknowledgedAt = core::clockSeconds(place.time);
    const logbook::Connection *db = connection(false);
    if (!db)
        return std::nullopt;
    QSqlQuery query(db->database());
    query.setForwardOnly(true);
    if (!query.exec(QStringLiteral("SELECT rowid, AAA, EEE FROM b1 ORDER BY rowid")))
        return std::nullopt;
    Place before;
    while (query.next()) {
        const QString time = query.value(2).toString();
        // The same second is later: a reading is never dropped for it.
        if (!acknowledgedAt || core::clockSeconds(time).value_or(0) >= *acknowledgedAt)
            break;
        before = Place{query.value(1).toInt(), time, false, query.value(0).toLongLong()};
    }
    return before;
}

std::optional<Place> Publisher::Worker::lastLiveRecord() {
    if (!QFileInfo::exists(logFile(false)))
        return Place{};
    const logbook::Connection *db = connection(false);
    if (!db)
        return std::nullopt;
    QSqlQuery query(db->database());
    if (!query.exec(QStringLiteral("SELECT rowid, AAA, EEE FROM b1 ORDER BY rowid DESC LIMIT 1")))
        return std::nullopt;
    if (!query.next())
        return Place{};
    return Place{query.value(1).toInt(), query.value(2).toString(), false,
                 query.value(0).toLongLong()};
}

const logbook::Connection *Publisher::Worker::connection(bool backup) {
    KeptConnection &kept = m_kept[backup ? 1 : 0];
    const QString path = logFile(backup);
    struct stat file {};
    if (::stat(QFile::encodeName(path).constData(), &file) != 0) {
        kept.connection.reset();
        return nullptr;
    }
    if (kept.connection && kept.device == file.st_dev && kept.inode == file.st_ino)
        return kept.connection.get();
    kept.connection = std::make_unique<logbook::Connection>(kReadPatienceMs);
    if (!kept.connection->open(path)) {
        kept.connection.reset();
        return nullptr;
    }
    kept.device = file.st_dev;
    kept.inode = file.st_ino;
    return kept.connection.get();
}

Publisher::Publisher(const PublishSettings &settings, const QString &logDirectory,
                     Handlers handlers)
    : m_worker(std::make_shared<Worker>(settings, logDirectory, std::move(handlers))) {
    // The thread keeps its worker alive: a broker that hangs at the end cannot hold the
    // program up, nor leave the thread without its state.
    std::thread([worker = m_worker] { worker->run(); }).detach();
}

Publisher::~Publisher() {
    m_worker->stop();
    m_worker->waitForEnd(m_stopWaitMs);
    m_worker->silence();
}

void Publisher::recordsCommitted() { m_worker->wake(); }

} // namespace publish
