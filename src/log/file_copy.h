#pragma once

#include <QString>

namespace logbook {

/// Told how a copy goes, or a wait for the log's writer, so that a window can show the progress
/// of a long one and keep painting.
class CopyProgress {
  public:
    virtual ~CopyProgress() = default;
    /// After each chunk: `copied` of `total` bytes are in `to`.
    virtual void copying(const QString &to, qint64 copied, qint64 total) = 0;
    /// While the readings taken are written: `written` of `total` readings are in `to`.
    virtual void writing(const QString &to, qint64 written, qint64 total) = 0;
    /// The copy or the wait is over, done or failed.
    virtual void copyEnded() = 0;
};

/// Copies a file byte for byte over another, which is replaced only once the copy is complete
/// and on disk. Returns an empty text on success, otherwise the reason for the failure.
QString copyFileOver(const QString &from, const QString &to, CopyProgress *progress = nullptr);

/// Whether a copy may replace a file that is there already.
enum class CopyTarget { Replace, NewFileOnly };

/// Copies a log file byte for byte. While it reads, it holds a read lock on the file when the
/// file is a database, so that another program writing the log cannot leave half a
/// transaction in the copy (and a transaction a crash left behind is rolled back first); any
/// other file is copied as it is. A NewFileOnly copy never replaces a file, not even one made
/// meanwhile, and leaves nothing behind when it fails. Returns an empty text on success,
/// otherwise the reason for the failure.
QString copyLogFile(const QString &from, const QString &to, CopyTarget target,
                    CopyProgress *progress = nullptr);

} // namespace logbook
