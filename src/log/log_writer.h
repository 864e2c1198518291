#pragma once

#include "log/database_error.h"
#include "log/record_window.h"

#include <QString>

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace logbook {

/// A record as the log file holds it now: its rowid and its texts.
struct CommittedRecord {
    qint64 rowId = 0;
    LogRecord record;
};

/// What one attempt of the writer came to. A failure other than a rejected record leaves every
/// record queued; a rejected record is dropped and the others are committed.
struct WriteOutcome {
    DatabaseError error;
    std::vector<CommittedRecord> committed;
};

/// Writes the log's records on a thread of its own, so that taking a reading never waits for
/// the disk. Records are written in the order they were queued; whatever is queued when an
/// attempt starts goes into one transaction (a group commit: one record on a fast disk, several
/// on a slow one), committed with the connection's syncs, so a record is on disk once it has
/// been reported committed. After each commit the file is left alone for kPauseBetweenCommitsMs,
/// unless someone waits for the records: other programs reading it, and the window's grid, get
/// their turn even on a disk whose commits take half a second, and readings arriving faster
/// than that share a commit instead of costing a sync each. The pause is longer than the
/// 100 ms SQLite's busy handler sleeps between the tries of a reader that waits (`sqlite3
/// -cmd '.timeout 2000'`), so such a reader always finds the file free within one commit and
/// one pause. At the meter's pace (a reading every 116 ms) every record still commits on its
/// own. After a failure the records wait, in order, and are tried
/// again with the next record queued, when someone waits for them, or after a second.
class LogWriter {
  public:
    static constexpr int kPauseBetweenCommitsMs = 110;
    /// After a failure the records are tried again this often while nothing else asks.
    static constexpr int kRetryMs = 1000;
    /// How long the writer goes on trying to write what is queued when it is destroyed.
    static constexpr int kFinalPatienceMs = 2000;

    /// `notify` runs on the writer's thread after every attempt; the outcomes are then taken
    /// with takeOutcomes() on the caller's.
    LogWriter(QString logPath, std::function<void()> notify);
    /// Writes what is still queued (trying for kFinalPatienceMs at most), then stops.
    ~LogWriter();
    LogWriter(const LogWriter &) = delete;
    LogWriter &operator=(const LogWriter &) = delete;

    void enqueue(LogRecord record);
    /// The outcomes of the attempts since the last call, oldest first.
    std::vector<WriteOutcome> takeOutcomes();
    /// Records queued or being written and not yet committed.
    int pending() const;

    /// Called about every 20 ms while a wait lasts: records written so far of those waited for.
    using Tick = std::function<void(int written, int total)>;
    /// Waits until every record queued before the call is committed (true), or an attempt
    /// begun after the call failed (false).
    bool waitUntilWritten(const Tick &tick);
    /// No attempt starts until as many release() calls; returns once a running one has ended.
    void hold(const Tick &tick);
    void release();
    /// Drops the queued records, while held: the log they belonged to was emptied.
    void discard();

  private:
    void run();
    WriteOutcome write(const std::vector<LogRecord> &batch) const;
    /// Waits until `done()` holds, calling `tick` meanwhile with the records finished since
    /// `base` of `total`; the lock is held around `done()` only.
    void waitTicking(std::unique_lock<std::mutex> &lock, const std::function<bool()> &done,
                     const Tick &tick, quint64 base, int total);

    const QString m_path;
    const std::function<void()> m_notify;

    mutable std::mutex m_mutex;
    std::condition_variable m_wake;    ///< the writer waits on it for work
    std::condition_variable m_settled; ///< waiters wait on it for an attempt to end
    std::deque<LogRecord> m_queue;     ///< not yet committed, oldest first
    quint64 m_finished = 0;            ///< records ever committed, rejected or discarded
    quint64 m_attempts = 0;            ///< attempts ever begun
    quint64 m_lastFailedAttempt = 0;
    DatabaseError m_lastFailure;
    bool m_busy = false;
    bool m_failing = false;
    bool m_retryNow = false;
    bool m_awaited = false; ///< someone waits for the queue: no pause before the commit
    bool m_stopping = false;
    int m_holds = 0;
    /// The end of the last commit or hold: the file is left alone for a pause after it.
    std::chrono::steady_clock::time_point m_lastEnd;
    std::vector<WriteOutcome> m_outcomes;
    std::thread m_thread;
};

} // namespace logbook
