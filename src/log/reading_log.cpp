#include "log/reading_log.h"

#include "core/clock.h"
#include "core/message_boxes.h"
#include "core/time_stamp.h"
#include "log/connection.h"
#include "log/file_copy.h"
#include "log/log_database.h"

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

/// A file the stand-by twin can be copied from: a copy of what is no log would only be litter.
bool isLog(const QString &path) {
    Connection db;
    return db.open(path) && db.openRecordSet();
}

} // namespace

ReadingLog::ReadingLog(QString directory, const core::Clock &clock, core::MessageBoxes &messages,
                       LogShown *shown, CopyProgress *progress)
    : m_directory(std::move(directory)), m_clock(clock), m_messages(messages), m_shown(shown),
      m_progress(progress), m_lock(m_directory),
      m_writer(std::make_unique<LogWriter>(filePath(kLiveLogFile), [this] {
          // One delivery at a time: it takes whatever has come by then.
          if (!m_newsPosted.exchange(true))
              QMetaObject::invokeMethod(
                  &m_context,
                  [this] {
                      m_newsPosted = false;
                      takeOutcomes();
                  },
                  Qt::QueuedConnection);
      })) {}

ReadingLog::~ReadingLog() = default;

QString ReadingLog::filePath(QLatin1String name) const { return QDir(m_directory).filePath(name); }

LogRecord ReadingLog::appendReading(qint32 no, const QString &fun, const QString &data,
                                    const QString &unit) {
    LogRecord record{no, fun, data, unit, core::timeStamp(m_clock.now())};
    if (m_recordHandler)
        m_recordHandler(record);
    m_writer->enqueue(LogRecord(record));
    return record;
}

int ReadingLog::waitingCount() const { return m_writer->pending(); }

QStringList ReadingLog::prepareFiles() {
    const QString live = filePath(kLiveLogFile);
    const QString standby = filePath(kStandbyLogFile);
    // The files are made first and the user told afterwards, so that a program ended while a
    // message is open still leaves both logs in place.
    QStringList told;
    if (!QFileInfo::exists(live)) {
        if (const DatabaseError error = createLogDatabase(live))
            told.append(QStringLiteral("The log file %1 is missing and could not be created: "
                                       "%2. Readings cannot be logged.")
                            .arg(QDir::toNativeSeparators(live), error.reason));
        else
            told.append(
                QStringLiteral("The log file %1 was missing; an empty log has been created.")
                    .arg(QDir::toNativeSeparators(live)));
    }
    if (!QFileInfo::exists(standby) && QFileInfo::exists(live) && isLog(live)) {
        if (const QString why = copyFileOver(live, standby, m_progress); !why.isEmpty())
            told.append(
                QStringLiteral("Could not create %1 as a copy of %2: %3.")
                    .arg(QDir::toNativeSeparators(standby), QDir::toNativeSeparators(live), why));
    }
    return told;
}

ReadingLog::Settled::~Settled() { m_writer.release(); }

ReadingLog::Settled ReadingLog::settle() {
    bool ticked = false;
    const QString live = filePath(kLiveLogFile);
    const LogWriter::Tick tick = [&](int written, int total) {
        ticked = true;
        if (m_progress)
            m_progress->writing(live, written, total);
    };
    const bool written = m_writer->waitUntilWritten(tick);
    m_writer->hold(tick);
    if (ticked && m_progress)
        m_progress->copyEnded();
    takeOutcomes();
    return Settled(*m_writer, written);
}

bool ReadingLog::writeQueued() { return settle().allWritten(); }

void ReadingLog::takeOutcomes() {
    const QString live = filePath(kLiveLogFile);
    for (const WriteOutcome &outcome : m_writer->takeOutcomes()) {
        if (!outcome.error) {
            if (m_streak.reported && m_noteHandler)
                m_noteHandler(QStringLiteral("The log file %1 can be written again: the readings "
                                             "kept meanwhile are in it.")
                                  .arg(QDir::toNativeSeparators(live)));
            m_streak = {};
        } else if (outcome.error.kind == DatabaseError::Kind::Rejected) {
            // Told for itself: the records around it were stored, which ends a run of failures.
            m_streak = {};
            m_messages.showMessage(failureMessage(outcome.error));
        } else {
            reportFailure(outcome.error);
        }
        if (!outcome.committed.empty() && m_committedHandler)
            m_committedHandler();
        // The grid learns of records written while it shows the live log; showing another
        // file, it reads them when it comes back.
        if (outcome.committed.empty() || !m_shown || m_shown->file() != live)
            continue;
        if (!m_shown->append(outcome.committed))
            reportFailure(m_shown->error());
    }
}

void ReadingLog::enforceRecordLimit(RecordLimitHost &host) {
    host.putLineOff();
    // Every record up to the limit belongs in the backup.
    const Settled settled = settle();
    show(kStandbyLogFile);
    const QString failure = backUpAndEmpty(settled);
    show(kLiveLogFile);
    // Tried again with every reading: told once until it works.
    if (!failure.isEmpty()) {
        if (!m_backupFailing)
            m_messages.showMessage(failure);
        m_backupFailing = true;
        host.resumeAfterFailedBackup();
        return;
    }
    m_backupFailing = false;
    host.resetAfterRecordLimit();
    m_messages.showMessage(kRecordLimitMessage);
}

QString ReadingLog::emptyLog() {
    const Settled settled = settle();
    const QString live = filePath(kLiveLogFile);
    {
        Connection db;
        if (!db.open(live) || !db.execute(kDeleteAll))
            return QStringLiteral("The log %1 could not be emptied: %2.")
                .arg(QDir::toNativeSeparators(live), db.error().reason);
    }
    // Readings still waiting were taken before the log was emptied.
    m_writer->discard();
    if (m_shown && !m_shown->show(m_shown->file()))
        return QStringLiteral("The log %1 was emptied but could not be read again: %2.")
            .arg(QDir::toNativeSeparators(m_shown->error().file), m_shown->error().reason);
    return {};
}

QString ReadingLog::backUpAndEmpty(const Settled &settled) {
    const QString live = QDir::toNativeSeparators(filePath(kLiveLogFile));
    const QString backup = QDir::toNativeSeparators(filePath(kBackupLogFile));
    const QString untouched =
        QStringLiteral(" The log keeps all its records; the backup is tried again with the "
                       "next reading.");
    if (!settled.allWritten())
        return QStringLiteral("The log could not be backed up: %1 readings could not be written "
                              "to %2.")
                   .arg(waitingCount())
                   .arg(live) +
               untouched;
    QString earlier;
    if (const QString why = keepEarlierBackup(earlier); !why.isEmpty())
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
    if (!db.open(filePath(kLiveLogFile)) || !db.execute(kDeleteAll)) {
        // As before the try: a backup kept now beside the log's records would count them twice
        // once the next try keeps it too.
        QFile::remove(filePath(kBackupLogFile));
        if (!earlier.isEmpty())
            QFile::rename(earlier, filePath(kBackupLogFile));
        return QStringLiteral("The log %1 could not be emptied after its backup: %2.")
                   .arg(live, db.error().reason) +
               untouched;
    }
    return {};
}

QString ReadingLog::keepEarlierBackup(QString &keptAs) const {
    const QString backup = filePath(kBackupLogFile);
    if (!QFileInfo(backup).isFile())
        return {}; // nothing to keep, or no backup file at all: the copy then says so
    // Named after the time of its last record, or of the file where it has none.
    QDateTime last = QFileInfo(backup).lastModified();
    {
        Connection db;
        if (db.open(backup)) {
            QSqlQuery newest(db.database());
            if (newest.exec(kNewestStamp) && newest.next())
                last = core::readTimeStamp(newest.value(0).toString()).value_or(last);
        }
    }
    QFile earlier(backup);
    for (int n = 1;; ++n) {
        const QString kept = keptBackupPath(m_directory, last, n);
        // Never over another file: a name that is taken is passed by.
        if (earlier.rename(kept)) {
            keptAs = kept;
            return {};
        }
        if (!QFileInfo::exists(kept))
            return earlier.errorString();
    }
}

void ReadingLog::show(QLatin1String file) {
    if (m_shown && !m_shown->show(filePath(file)))
        reportFailure(m_shown->error());
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
