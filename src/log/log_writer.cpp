#include "log/log_writer.h"

#include "log/connection.h"
#include "log/log_database.h"

#include <QDir>

#include <chrono>
#include <optional>

namespace logbook {

namespace {

using namespace std::chrono_literals;

constexpr auto kTickEvery = 20ms;
/// While the program ends, a failed write is tried again this soon.
constexpr auto kFinalRetry = 100ms;

} // namespace

LogWriter::LogWriter(QString logPath, std::function<void()> notify)
    : m_path(std::move(logPath)), m_notify(std::move(notify)), m_thread([this] { run(); }) {}

LogWriter::~LogWriter() {
    {
        const std::lock_guard lock(m_mutex);
        m_stopping = true;
        m_retryNow = true;
    }
    m_wake.notify_one();
    m_thread.join();
}

void LogWriter::enqueue(LogRecord record) {
    {
        const std::lock_guard lock(m_mutex);
        m_queue.push_back(std::move(record));
        m_retryNow = true;
    }
    m_wake.notify_one();
}

std::vector<WriteOutcome> LogWriter::takeOutcomes() {
    const std::lock_guard lock(m_mutex);
    return std::exchange(m_outcomes, {});
}

int LogWriter::pending() const {
    const std::lock_guard lock(m_mutex);
    return int(m_queue.size());
}

bool LogWriter::waitUntilWritten(const Tick &tick) {
    std::unique_lock lock(m_mutex);
    const quint64 base = m_finished;
    const quint64 target = m_finished + m_queue.size();
    const quint64 attemptsBefore = m_attempts;
    m_retryNow = true;
    m_awaited = true;
    m_wake.notify_one();
    // While held nothing is written: waiting would never end.
    waitTicking(
        lock,
        [&] { return m_finished >= target || m_lastFailedAttempt > attemptsBefore || m_holds > 0; },
        tick, base, int(target - base));
    return m_finished >= target;
}

void LogWriter::hold(const Tick &tick) {
    std::unique_lock lock(m_mutex);
    ++m_holds;
    waitTicking(
        lock, [this] { return !m_busy; }, tick, m_finished, int(m_queue.size()));
}

void LogWriter::release() {
    {
        const std::lock_guard lock(m_mutex);
        --m_holds;
        // The holder may have written the file itself (the record limit empties it): readers
        // get their pause after that as after a commit.
        m_lastEnd = std::chrono::steady_clock::now();
    }
    m_wake.notify_one();
}

void LogWriter::discard() {
    const std::lock_guard lock(m_mutex);
    m_finished += m_queue.size();
    m_queue.clear();
    m_failing = false;
}

void LogWriter::waitTicking(std::unique_lock<std::mutex> &lock, const std::function<bool()> &done,
                            const Tick &tick, quint64 base, int total) {
    while (!m_settled.wait_for(lock, kTickEvery, done)) {
        if (!tick)
            continue;
        const int written = int(std::min<quint64>(m_finished - base, quint64(total)));
        lock.unlock();
        tick(written, total);
        lock.lock();
    }
}

void LogWriter::run() {
    std::unique_lock lock(m_mutex);
    std::optional<std::chrono::steady_clock::time_point> giveUpAt;
    const auto due = [this] {
        return !m_queue.empty() && (m_holds == 0 || m_stopping) && (!m_failing || m_retryNow);
    };
    for (;;) {
        if (m_failing) {
            const auto pause = m_stopping ? kFinalRetry : std::chrono::milliseconds(kRetryMs);
            if (!m_wake.wait_for(lock, pause, [&] { return due() || m_queue.empty(); }))
                m_retryNow = true;
        } else {
            m_wake.wait(lock, [&] { return due() || m_stopping; });
        }
        if (m_stopping) {
            if (m_queue.empty())
                return;
            const auto now = std::chrono::steady_clock::now();
            if (!giveUpAt)
                giveUpAt = now + std::chrono::milliseconds(kFinalPatienceMs);
            else if (now >= *giveUpAt)
                break;
        }
        if (!due())
            continue;
        if (const auto free = m_lastEnd + std::chrono::milliseconds(kPauseBetweenCommitsMs);
            !m_failing && !m_stopping && !m_awaited && std::chrono::steady_clock::now() < free) {
            m_wake.wait_until(lock, free, [this] { return m_awaited || m_stopping; });
            continue;
        }

        const std::vector<LogRecord> batch(m_queue.begin(), m_queue.end());
        const quint64 attempt = ++m_attempts;
        m_busy = true;
        m_retryNow = false;
        m_awaited = false;
        lock.unlock();
        WriteOutcome outcome = write(batch);
        lock.lock();
        m_lastEnd = std::chrono::steady_clock::now();
        if (!outcome.error || outcome.error.kind == DatabaseError::Kind::Rejected) {
            m_queue.erase(m_queue.begin(), m_queue.begin() + std::ptrdiff_t(batch.size()));
            m_finished += batch.size();
            m_failing = false;
        } else {
            m_failing = true;
            m_lastFailedAttempt = attempt;
            m_lastFailure = outcome.error;
        }
        m_outcomes.push_back(std::move(outcome));
        m_busy = false;
        m_settled.notify_all();
        lock.unlock();
        m_notify();
        lock.lock();
    }
    // Nobody is left to tell but the terminal or the journal.
    qWarning("%d readings could not be written to %s: %s", int(m_queue.size()),
             qPrintable(QDir::toNativeSeparators(m_path)), qPrintable(m_lastFailure.reason));
}

WriteOutcome LogWriter::write(const std::vector<LogRecord> &batch) const {
    Connection db;
    if (!db.open(m_path))
        return {db.error(), {}};
    // One record commits by itself; several share one transaction and its syncs.
    const bool transaction = batch.size() > 1;
    if (transaction && !db.beginWriting())
        return {db.error(), {}};
    WriteOutcome outcome;
    for (const LogRecord &r : batch) {
        if (const std::optional<qint64> rowId =
                db.insert(insertStatement(r.no, r.function, r.data, r.unit, r.time))) {
            outcome.committed.push_back({*rowId, r});
            continue;
        }
        DatabaseError failure = db.error();
        if (failure.kind == DatabaseError::Kind::Rejected) {
            // This record can never be stored in this file; keeping it would hold up every
            // later one.
            outcome.error = failure;
            continue;
        }
        if (transaction)
            db.rollback();
        return {failure, {}};
    }
    if (transaction && !db.commit()) {
        DatabaseError failure = db.error();
        db.rollback();
        if (failure.kind == DatabaseError::Kind::Rejected)
            failure.kind = DatabaseError::Kind::Failed; // nothing of this attempt was stored
        return {failure, {}};
    }
    return outcome;
}

} // namespace logbook
