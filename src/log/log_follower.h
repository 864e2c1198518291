#pragma once

#include "log/record_window.h"

#include <QString>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include <sys/types.h>

namespace logbook {

class Connection;

/// A record's place in a folder's logs: its number and time stamp (numbers start again after
/// the record limit), and where it was last seen.
struct LogPlace {
    qint32 no = -1; ///< -1: before the live log's first record
    QString time;
    bool inBackup = false;
    qint64 rowId = 0;
    friend bool operator==(const LogPlace &, const LogPlace &) = default;
};

struct FollowedRecord {
    LogPlace place;
    LogRecord record;
};

/// Follows a folder's live log, and across a record limit its backup maxdb1.mdb, for a reader
/// on a thread of its own: the records after a place, in the order they were taken, read by
/// connections kept open while the files stay the same ones. A commit of the log's writer is
/// waited for up to `patienceMs`; a log that cannot be read just now gives nothing, and the
/// place is tried again later, never skipped.
class LogFollower {
  public:
    LogFollower(QString directory, int patienceMs);
    ~LogFollower();
    LogFollower(const LogFollower &) = delete;
    LogFollower &operator=(const LogFollower &) = delete;

    /// Up to `count` records after `from`, which is moved to where that record is now: the
    /// backup's last is followed by the live log's first. After Clear All or a loaded log, the
    /// records stamped at or after `from`'s time.
    std::vector<FollowedRecord> recordsAfter(LogPlace &from, int count);
    /// The live log's last record; nothing while the log cannot be read.
    std::optional<LogPlace> lastLiveRecord();
    /// The place before the live log's records stamped at or after a clock second
    /// (core::clockSeconds), those at its end (a stamp that cannot be read is no later one):
    /// the start of the log when all are; nothing while the log cannot be read.
    std::optional<LogPlace> placeBefore(qint64 clockSecond);
    /// The same, the records at the end being those before the last whose stamp `isEarlier`
    /// says is earlier; it is asked from the last record back.
    std::optional<LogPlace> placeBefore(const std::function<bool(const QString &stamp)> &isEarlier);
    /// Closes the connections, on the thread that opened them.
    void close();

  private:
    QString logFile(bool backup) const;
    std::optional<LogPlace> located(const LogPlace &place);
    /// The open connection to the live log or the backup, opened again when the file is
    /// another one than before; nothing when it cannot be opened now.
    const Connection *connection(bool backup);

    QString m_directory;
    int m_patienceMs;
    struct KeptConnection {
        std::unique_ptr<Connection> connection;
        dev_t device = 0;
        ino_t inode = 0;
    };
    KeptConnection m_kept[2]; ///< the live log's, the backup's
};

} // namespace logbook
