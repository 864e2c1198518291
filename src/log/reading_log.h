#pragma once

#include "log/database_error.h"

#include <QDateTime>
#include <QLatin1String>
#include <QString>

#include <deque>

namespace core {
class Clock;
class MessageBoxes;
} // namespace core

namespace logbook {

class CopyProgress;
class DataSource;
class RecordGridModel;

/// What the record limit changes outside the log.
class RecordLimitHost {
  public:
    virtual ~RecordLimitHost() = default;
    /// The line off: Text9 "OFFLine", the port closed, the receive lamp blue.
    virtual void putLineOff() = 0;
    /// The receive pipeline starts over: ApplyChartBackground, TrendCount 0, MinMaxRestart,
    /// slider maximum 1, LogRecordCount 0, NextRecordNo 0.
    virtual void resetAfterRecordLimit() = 0;
};

/// The log of readings: one record of table b1 in db1.mdb per reading, and the record limit
/// with its backup to maxdb1.mdb.
///
/// A reading that cannot be written (the file locked by another program, missing, full, ...)
/// is kept, in order with its own NO and time stamp, and written by the next append that
/// succeeds. The user hears of it once per run of failures: at once, or for a lock only when
/// it has lasted a few seconds, since other programs reading the file lock it briefly all the
/// time.
class ReadingLog {
  public:
    static constexpr int kLockPatienceMs = 3000;
    /// While a lock lasts, each append waits only briefly so the window stays responsive.
    static constexpr int kBusyTimeoutInLockMs = 20;

    /// `progress`, where given, is told how long the backup's copy goes.
    ReadingLog(QString directory, DataSource &data1, RecordGridModel &grid,
               const core::Clock &clock, core::MessageBoxes &messages,
               CopyProgress *progress = nullptr);

    /// A log file's full path in the program's directory.
    QString filePath(QLatin1String name) const;

    /// Writes one record (with any kept before it) and refreshes the grid.
    void appendReading(qint32 no, const QString &fun, const QString &data, const QString &unit);
    /// Backs the full log up to maxdb1.mdb and empties it, with the line off. When the backup
    /// cannot be made the log keeps every record, the user is told why, and nothing is reset:
    /// the next reading tries again.
    void enforceRecordLimit(RecordLimitHost &host);

    /// Readings kept because they could not be written yet.
    int waitingCount() const { return int(m_waiting.size()); }

  private:
    DatabaseError writeWaiting(int busyTimeoutMs);
    QString backUpAndEmpty();
    /// Moves an earlier maxdb1.mdb to a name of its own, so that no backup is ever replaced.
    QString keepEarlierBackup() const;
    void bindDataSource(QLatin1String file);
    void reportFailure(const DatabaseError &error);

    QString m_directory;
    DataSource &m_data1;
    RecordGridModel &m_grid;
    const core::Clock &m_clock;
    core::MessageBoxes &m_messages;
    CopyProgress *m_progress;
    std::deque<QString> m_waiting; ///< INSERT statements not yet written, oldest first

    struct FailureStreak {
        bool active = false;
        bool reported = false;
        bool locked = false;
        QDateTime since;
    } m_streak;
};

} // namespace logbook
