#pragma once

#include "log/database_error.h"
#include "log/log_writer.h"
#include "log/logging_lock.h"

#include <QDateTime>
#include <QLatin1String>
#include <QObject>
#include <QString>
#include <QStringList>

#include <atomic>
#include <functional>
#include <memory>

namespace core {
class Clock;
class MessageBoxes;
} // namespace core

namespace logbook {

class CopyProgress;

/// Whatever shows the log's records as they are written: the window's grid.
class LogShown {
  public:
    virtual ~LogShown() = default;
    /// The file shown.
    virtual QString file() const = 0;
    /// Shows `file`, read afresh.
    virtual bool show(const QString &file) = 0;
    /// Records committed to the file shown, in order.
    virtual bool append(const std::vector<CommittedRecord> &committed) = 0;
    /// What the last of these failed on.
    virtual DatabaseError error() const = 0;
};

/// What the record limit changes outside the log: whoever takes the readings.
class RecordLimitHost {
  public:
    virtual ~RecordLimitHost() = default;
    /// The port closed, and a window says so.
    virtual void putLineOff() = 0;
    /// The numbering starts from 0 again, and a window starts its trend, extremes and slider
    /// afresh.
    virtual void resetAfterRecordLimit() = 0;
    /// The backup could not be made: the port opened again, readings go on being taken as
    /// before the limit, and the next one tries again.
    virtual void resumeAfterFailedBackup() = 0;
};

/// The log of readings: one record of table b1 in db1.mdb per reading, and the record limit
/// with its backup to maxdb1.mdb.
///
/// A reading's record (its NO, texts and time stamp) is fixed when the reading is taken and
/// queued for the writer, which writes it on a thread of its own: taking a reading never waits
/// for the disk. Whatever shows the log is told of the records a commit brought once they are
/// on disk. A record that
/// cannot be written (the file locked by another program, missing, full, ...) waits, in order,
/// until it can. The user hears of it once per run of failures: at once, or for a lock only
/// when it has lasted a few seconds, since other programs reading the file lock it briefly all
/// the time. Whatever reads or replaces db1.mdb settles it first.
class ReadingLog {
  public:
    static constexpr int kLockPatienceMs = 3000;

    /// `shown`, where given, is kept up with the log; `progress` is told how long the backup's
    /// copy goes, and a wait for the writer.
    ReadingLog(QString directory, const core::Clock &clock, core::MessageBoxes &messages,
               LogShown *shown = nullptr, CopyProgress *progress = nullptr);
    /// Writes what is queued before the program goes on.
    ~ReadingLog();

    const QString &directory() const { return m_directory; }
    /// A log file's full path in the program's directory.
    QString filePath(QLatin1String name) const;

    /// Queues one record, stamped with the time of now; the record queued.
    LogRecord appendReading(qint32 no, const QString &fun, const QString &data,
                            const QString &unit);
    /// Backs the full log up to maxdb1.mdb and empties it, with the line off. When the backup
    /// cannot be made the log keeps every record, the user is told why (once, until a backup
    /// works), nothing is reset and the line goes on again: the next reading tries again.
    void enforceRecordLimit(RecordLimitHost &host);
    /// Clear All's part in the log: db1.mdb emptied once every reading taken so far is written,
    /// and what shows it read again. Returns what failed, in words for the user.
    QString emptyLog();

    /// db1.mdb settled for whoever reads or replaces it: while this lives nothing is written to
    /// it, and the readings taken meanwhile wait.
    class Settled {
      public:
        Settled(LogWriter &writer, bool allWritten) : m_writer(writer), m_allWritten(allWritten) {}
        ~Settled();
        Settled(const Settled &) = delete;
        Settled &operator=(const Settled &) = delete;
        /// Every reading taken before settling is on disk.
        bool allWritten() const { return m_allWritten; }

      private:
        LogWriter &m_writer;
        bool m_allWritten;
    };
    /// Waits until the readings taken so far are written (or cannot be), showing the progress
    /// when that takes long; the window then shows them, and any failure is told.
    [[nodiscard]] Settled settle();
    /// The same, for a reader that needs no more than the readings written.
    bool writeQueued();

    /// Readings taken and not yet on disk.
    int waitingCount() const;

    /// The files of the log in place before readings are logged: a missing db1.mdb created
    /// empty and db2.mdb a copy of it where missing. What the user must hear of, in words.
    QStringList prepareFiles();

    /// The lock of whoever takes readings into this log.
    LoggingLock &lock() { return m_lock; }
    /// Told of each record as it is queued, for a user who follows the readings.
    void setRecordHandler(std::function<void(const LogRecord &)> handler) {
        m_recordHandler = std::move(handler);
    }
    /// Told, on this thread, each time records were committed: for whoever follows the log.
    void setCommittedHandler(std::function<void()> handler) {
        m_committedHandler = std::move(handler);
    }
    /// Told, in words for the user, when the log can be written again after a failure was
    /// reported; a window need not say so, a program writing to a terminal does.
    void setNoteHandler(std::function<void(const QString &)> handler) {
        m_noteHandler = std::move(handler);
    }

  private:
    /// What the writer did since last asked: the committed records shown, failures told.
    void takeOutcomes();
    QString backUpAndEmpty(const Settled &settled);
    /// Moves an earlier maxdb1.mdb to a name of its own, `keptAs`, so that no backup is ever
    /// replaced. Returns what failed, in words for the user.
    QString keepEarlierBackup(QString &keptAs) const;
    void show(QLatin1String file);
    void reportFailure(const DatabaseError &error);

    QString m_directory;
    const core::Clock &m_clock;
    core::MessageBoxes &m_messages;
    LogShown *m_shown;
    CopyProgress *m_progress;

    struct FailureStreak {
        bool active = false;
        bool reported = false;
        bool locked = false;
        QDateTime since;
    } m_streak;

    /// The record limit's backup failed and was told; it is not told again until it works.
    bool m_backupFailing = false;
    LoggingLock m_lock;
    std::function<void(const LogRecord &)> m_recordHandler;
    std::function<void(const QString &)> m_noteHandler;
    std::function<void()> m_committedHandler;

    QObject m_context; ///< where the writer's news is delivered, on this thread
    std::atomic<bool> m_newsPosted{false};
    std::unique_ptr<LogWriter> m_writer;
};

} // namespace logbook
