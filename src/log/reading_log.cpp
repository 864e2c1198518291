#include "log/reading_log.h"

#include "core/clock.h"
#include "core/message_boxes.h"
#include "core/time_stamp.h"
#include "log/connection.h"
#include "log/data_source.h"
#include "log/file_copy.h"
#include "log/log_database.h"
#include "log/record_grid_model.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlQuery>

namespace logbook {

namespace {

const QString kRecordLimitMessage =
    QStringLiteral("Record is out of range,had auto backup to maxdb1.mdb");

QString failureMessage(const DatabaseError &error) {
    const QString file = QDir::toNativeSeparators(error.file);
    switch (error.kind) {
    case DatabaseError::Kind::Locked:
        return QStringLiteral("The log file %1 is locked by another program. The readings are "
                              "kept and will be written, in order, as soon as it is free.")
            .arg(file);
    case DatabaseError::Kind::Rejected:
        return QStringLiteral("The log file %1 refused a reading (%2). That reading was left "
                              "out; the next ones are written as usual.")
            .arg(file, error.reason);
    case DatabaseError::Kind::Missing:
        return QStringLiteral("The log file %1 is missing. The readings are kept and will be "
                              "written, in order, once it is back.")
            .arg(file);
    default:
        return QStringLiteral("Could not use the log file %1: %2. The readings are kept and "
                              "will be written, in order, when the log can be written again.")
            .arg(file, error.reason);
    }
}

} // namespace

ReadingLog::ReadingLog(QString directory, DataSource &data1, RecordGridModel &grid,
                       const core::Clock &clock, core::MessageBoxes &messages,
                       CopyProgress *progress)
    : m_directory(std::move(directory)), m_data1(data1), m_grid(grid), m_clock(clock),
      m_messages(messages), m_progress(progress) {}

QString ReadingLog::filePath(QLatin1String name) const { return QDir(m_directory).filePath(name); }

void ReadingLog::appendReading(qint32 no, const QString &fun, const QString &data,
                               const QString &unit) {
    m_waiting.push_back(insertStatement(no, fun, data, unit, core::timeStamp(m_clock.now())));
    const std::size_t before = m_waiting.size();
    DatabaseError failure =
        writeWaiting(m_streak.locked ? kBusyTimeoutInLockMs : Connection::kDefaultBusyTimeoutMs);
    // With nothing written there is nothing new to show, and the refresh would meet the same
    // trouble.
    if (m_waiting.size() < before && !m_data1.refreshAppended() && !failure)
        failure = m_data1.error();
    setLogGridColumns(m_grid);
    if (failure)
        reportFailure(failure);
    else
        m_streak = {};
}

DatabaseError ReadingLog::writeWaiting(int busyTimeoutMs) {
    Connection db(busyTimeoutMs);
    if (!db.open(filePath(kLiveLogFile)))
        return db.error();
    // Readings kept from a run of failures go in one transaction: one sync instead of one each.
    const bool batch = m_waiting.size() > 1;
    if (batch && !db.execute(QStringLiteral("BEGIN IMMEDIATE")))
        return db.error();
    DatabaseError rejected;
    std::size_t written = 0;
    while (written < m_waiting.size()) {
        if (db.execute(m_waiting[written])) {
            ++written;
            continue;
        }
        if (db.error().kind != DatabaseError::Kind::Rejected) {
            const DatabaseError failure = db.error();
            if (batch)
                db.execute(QStringLiteral("ROLLBACK"));
            return failure;
        }
        // This record can never be stored in this file; keeping it would hold up every later one.
        rejected = db.error();
        m_waiting.erase(m_waiting.begin() + std::ptrdiff_t(written));
    }
    if (batch && !db.execute(QStringLiteral("COMMIT"))) {
        const DatabaseError failure = db.error();
        db.execute(QStringLiteral("ROLLBACK"));
        return failure;
    }
    m_waiting.erase(m_waiting.begin(), m_waiting.begin() + std::ptrdiff_t(written));
    return rejected;
}

void ReadingLog::enforceRecordLimit(RecordLimitHost &host) {
    host.putLineOff();
    bindDataSource(kStandbyLogFile);
    const QString failure = backUpAndEmpty();
    bindDataSource(kLiveLogFile);
    if (!failure.isEmpty()) {
        m_messages.showMessage(failure);
        return;
    }
    host.resetAfterRecordLimit();
    m_messages.showMessage(kRecordLimitMessage);
}

QString ReadingLog::backUpAndEmpty() {
    const QString live = QDir::toNativeSeparators(filePath(kLiveLogFile));
    const QString backup = QDir::toNativeSeparators(filePath(kBackupLogFile));
    const QString untouched =
        QStringLiteral(" The log keeps all its records; the backup is tried again with the "
                       "next reading.");
    // Readings still kept back belong in the backup too.
    if (const DatabaseError error = writeWaiting(Connection::kDefaultBusyTimeoutMs);
        error && !m_waiting.empty())
        return QStringLiteral("The log could not be backed up: %1 readings could not be written "
                              "to %2 (%3).")
                   .arg(m_waiting.size())
                   .arg(live, error.reason) +
               untouched;
    if (const QString why = keepEarlierBackup(); !why.isEmpty())
        return QStringLiteral("The earlier backup %1 could not be kept under a name of its own: "
                              "%2.")
                   .arg(backup, why) +
               untouched;
    if (const QString why =
            copyFileOver(filePath(kLiveLogFile), filePath(kBackupLogFile), m_progress);
        !why.isEmpty())
        return QStringLiteral("The log %1 could not be backed up to %2: %3.")
                   .arg(live, backup, why) +
               untouched;
    Connection db;
    if (!db.open(filePath(kLiveLogFile)) || !db.execute(kDeleteAll))
        return QStringLiteral("The log %1 was backed up to %2 but could not be emptied: %3.")
                   .arg(live, backup, db.error().reason) +
               untouched;
    return {};
}

QString ReadingLog::keepEarlierBackup() const {
    const QString backup = filePath(kBackupLogFile);
    if (!QFileInfo(backup).isFile())
        return {}; // nothing to keep, or no backup file at all: the copy then says so
    // Named after the time of its last record, or of the file where it has none.
    QDateTime last = QFileInfo(backup).lastModified();
    {
        Connection db;
        if (db.open(backup)) {
            QSqlQuery newest(db.database());
            if (newest.exec(QStringLiteral("SELECT EEE FROM b1 ORDER BY rowid DESC LIMIT 1")) &&
                newest.next())
                last = core::readTimeStamp(newest.value(0).toString()).value_or(last);
        }
    }
    const QString stem =
        QStringLiteral("maxdb1-") + last.toString(QStringLiteral("yyyy-MM-dd-HHmmss"));
    QFile earlier(backup);
    for (int n = 1;; ++n) {
        const QString kept = QDir(m_directory)
                                 .filePath(n == 1 ? stem + QStringLiteral(".mdb")
                                                  : QStringLiteral("%1-%2.mdb").arg(stem).arg(n));
        // Never over another file: a name that is taken is passed by.
        if (earlier.rename(kept))
            return {};
        if (!QFileInfo::exists(kept))
            return earlier.errorString();
    }
}

void ReadingLog::bindDataSource(QLatin1String file) {
    m_data1.setDatabaseName(filePath(file));
    if (!m_data1.refresh())
        reportFailure(m_data1.error());
    setLogGridColumns(m_grid);
}

void ReadingLog::reportFailure(const DatabaseError &error) {
    const QDateTime now = m_clock.now();
    if (!m_streak.active)
        m_streak = {true, false, false, now};
    m_streak.locked = error.kind == DatabaseError::Kind::Locked;
    if (m_streak.reported)
        return;
    if (m_streak.locked && m_streak.since.msecsTo(now) < kLockPatienceMs)
        return;
    m_streak.reported = true;
    m_messages.showMessage(failureMessage(error));
}

} // namespace logbook
