#include "log/file_copy.h"

#include "log/connection.h"

#include <QFile>
#include <QSaveFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QUrl>

#include <atomic>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace logbook {

namespace {

constexpr qint64 kChunk = 1 << 20;
/// How long a copy waits for another program to finish writing the log.
constexpr int kLockWaitMs = 3000;

/// Tells the progress of the copy it lives for, and that it ended however it ends.
class ProgressReport {
  public:
    ProgressReport(CopyProgress *progress, QString to)
        : m_progress(progress), m_to(std::move(to)) {}
    ~ProgressReport() {
        if (m_progress)
            m_progress->copyEnded();
    }
    ProgressReport(const ProgressReport &) = delete;
    ProgressReport &operator=(const ProgressReport &) = delete;

    void copying(qint64 copied, qint64 total) const {
        if (m_progress)
            m_progress->copying(m_to, copied, total);
    }

  private:
    CopyProgress *m_progress;
    QString m_to;
};

/// Copies what is left of `source` into `target`; the reason of a failure, or empty.
QString copyBytes(QFile &source, QIODevice &target, const ProgressReport &report) {
    const qint64 total = source.size();
    qint64 copied = 0;
    while (!source.atEnd()) {
        const QByteArray chunk = source.read(kChunk);
        if (chunk.isEmpty() && source.error() != QFileDevice::NoError)
            return source.errorString();
        // A write cut short by a full disk says nothing; writing the rest says why.
        for (qint64 written = 0; written < chunk.size();) {
            const qint64 now = target.write(chunk.constData() + written, chunk.size() - written);
            if (now <= 0)
                return target.errorString();
            written += now;
        }
        copied += chunk.size();
        report.copying(copied, std::max(total, copied));
    }
    return {};
}

QString copyToNewFile(QFile &source, const QString &to, const ProgressReport &report) {
    QFile target(to);
    // O_EXCL: the system refuses when the file exists, even one made a moment ago.
    if (!target.open(QIODevice::WriteOnly | QIODevice::NewOnly))
        return target.exists() ? QStringLiteral("the file exists already") : target.errorString();
    QString why = copyBytes(source, target, report);
    if (why.isEmpty() && !target.flush())
        why = target.errorString();
#ifdef Q_OS_UNIX
    if (why.isEmpty() && ::fsync(target.handle()) != 0)
        why = QStringLiteral("it could not be written to the disk");
#endif
    target.close();
    if (!why.isEmpty())
        target.remove();
    return why;
}

QString copyOver(QFile &source, const QString &to, const ProgressReport &report) {
    QSaveFile target(to);
    if (!target.open(QIODevice::WriteOnly))
        return target.errorString();
    if (const QString why = copyBytes(source, target, report); !why.isEmpty())
        return why;
    if (!target.commit())
        return target.errorString();
    return {};
}

/// A shared lock on a database file for as long as it lives: writers cannot commit meanwhile.
class ReadLock {
  public:
    explicit ReadLock(const QString &path) {
        static std::atomic<quint64> counter{0};
        m_name = QStringLiteral("envmeter-copy-%1").arg(++counter);
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
            db.setConnectOptions(
                QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1;QSQLITE_OPEN_URI").arg(kLockWaitMs));
            db.setDatabaseName(QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded) +
                               QStringLiteral("?mode=rw"));
            if (!db.open()) {
                m_failure = db.lastError().text();
                return;
            }
            QSqlQuery begin(db);
            QSqlQuery read(db);
            if (!begin.exec(kBeginReading) || !read.exec(kReadSchema)) {
                const QSqlError error =
                    begin.lastError().isValid() ? begin.lastError() : read.lastError();
                // SQLITE_NOTADB: not a database at all, so there is nothing to lock.
                m_isDatabase = (error.nativeErrorCode().toInt() & 0xff) != 26;
                m_failure = error.databaseText();
            }
        }
    }
    ~ReadLock() {
        {
            QSqlDatabase db = QSqlDatabase::database(m_name, false);
            if (db.isOpen()) {
                QSqlQuery(db).exec(kRollback);
                db.close();
            }
        }
        QSqlDatabase::removeDatabase(m_name);
    }
    ReadLock(const ReadLock &) = delete;
    ReadLock &operator=(const ReadLock &) = delete;

    /// Empty when the lock is held, or when the file is no database to lock.
    QString failure() const { return m_isDatabase ? m_failure : QString(); }

  private:
    QString m_name;
    QString m_failure;
    bool m_isDatabase = true;
};

} // namespace

QString copyFileOver(const QString &from, const QString &to, CopyProgress *progress) {
    const ProgressReport report(progress, to);
    QFile source(from);
    if (!source.open(QIODevice::ReadOnly))
        return source.errorString();
    return copyOver(source, to, report);
}

QString copyLogFile(const QString &from, const QString &to, CopyTarget target,
                    CopyProgress *progress) {
    const ProgressReport report(progress, to);
    QFile source(from);
    if (!source.open(QIODevice::ReadOnly))
        return source.errorString();
    const ReadLock lock(from);
    if (!lock.failure().isEmpty())
        return QStringLiteral("it could not be read whole (%1)").arg(lock.failure());
    return target == CopyTarget::NewFileOnly ? copyToNewFile(source, to, report)
                                             : copyOver(source, to, report);
}

} // namespace logbook
