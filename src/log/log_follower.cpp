#include "log/log_follower.h"

#include "core/time_stamp.h"
#include "log/connection.h"
#include "log/log_database.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlQuery>
#include <QVariant>

#include <sys/stat.h>

#include <limits>

namespace logbook {

LogFollower::LogFollower(QString directory, int patienceMs)
    : m_directory(std::move(directory)), m_patienceMs(patienceMs) {}

LogFollower::~LogFollower() = default;

void LogFollower::close() {
    for (KeptConnection &kept : m_kept)
        kept.connection.reset();
}

QString LogFollower::logFile(bool backup) const {
    return QDir(m_directory).filePath(backup ? kBackupLogFile : kLiveLogFile);
}

std::vector<FollowedRecord> LogFollower::recordsAfter(LogPlace &from, int count) {
    std::vector<FollowedRecord> rows;
    const std::optional<LogPlace> start = located(from);
    if (!start)
        return rows;
    from = *start;
    LogPlace at = *start;
    for (int pass = 0; pass < 2 && int(rows.size()) < count; ++pass) {
        const Connection *db = connection(at.inBackup);
        if (!db)
            return rows;
        QSqlQuery query(db->database());
        query.prepare(kRecordsAfterRow);
        query.addBindValue(at.rowId);
        query.addBindValue(count - int(rows.size()));
        if (!query.exec())
            return rows;
        while (query.next()) {
            const LogRecord record{query.value(1).toInt(), query.value(2).toString(),
                                   query.value(3).toString(), query.value(4).toString(),
                                   query.value(5).toString()};
            at = LogPlace{record.no, record.time, at.inBackup, query.value(0).toLongLong()};
            rows.push_back({at, record});
        }
        if (!at.inBackup)
            break;
        // The backup's last record is published: the live log follows from its start.
        at = LogPlace{};
    }
    return rows;
}

std::optional<LogPlace> LogFollower::located(const LogPlace &place) {
    if (place.no < 0)
        return LogPlace{};
    enum class Found { Yes, No, Unreadable };
    LogPlace here;
    const auto find = [&](bool inBackup, bool atRow) {
        const QString path = logFile(inBackup);
        if (!QFileInfo::exists(path))
            return Found::No;
        const Connection *db = connection(inBackup);
        if (!db)
            return Found::Unreadable;
        QSqlQuery query(db->database());
        query.prepare(atRow ? kRowOfRecordAt : kRowOfRecord);
        query.addBindValue(place.no);
        query.addBindValue(place.time);
        if (atRow)
            query.addBindValue(place.rowId);
        if (!query.exec())
            return Found::Unreadable;
        if (!query.next())
            return Found::No;
        here = LogPlace{place.no, place.time, inBackup, query.value(0).toLongLong()};
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
    // Neither log has it: the live log was emptied (Clear All) or replaced (a log loaded).
    // What was taken after the record acknowledged last follows it: the records stamped later,
    // the same second included, so that no reading is dropped for it.
    const std::optional<qint64> acknowledgedAt = core::clockSeconds(place.time);
    return acknowledgedAt ? placeBefore(*acknowledgedAt) : LogPlace{};
}

std::optional<LogPlace> LogFollower::placeBefore(qint64 clockSecond) {
    // A stamp that cannot be read is no later one.
    return placeBefore([clockSecond](const QString &stamp) {
        return core::clockSeconds(stamp).value_or(std::numeric_limits<qint64>::min()) < clockSecond;
    });
}

std::optional<LogPlace>
LogFollower::placeBefore(const std::function<bool(const QString &stamp)> &isEarlier) {
    if (!QFileInfo::exists(logFile(false)))
        return LogPlace{};
    const Connection *db = connection(false);
    if (!db)
        return std::nullopt;
    QSqlQuery query(db->database());
    query.setForwardOnly(true);
    // From the end: the records looked for are the last ones.
    if (!query.exec(kStampsNewestFirst))
        return std::nullopt;
    while (query.next()) {
        const QString time = query.value(2).toString();
        if (isEarlier(time))
            return LogPlace{query.value(1).toInt(), time, false, query.value(0).toLongLong()};
    }
    return LogPlace{};
}

std::optional<LogPlace> LogFollower::lastLiveRecord() {
    return placeBefore(std::numeric_limits<qint64>::max());
}

const Connection *LogFollower::connection(bool backup) {
    KeptConnection &kept = m_kept[backup ? 1 : 0];
    const QString path = logFile(backup);
    struct stat file {};
    if (::stat(QFile::encodeName(path).constData(), &file) != 0) {
        kept.connection.reset();
        return nullptr;
    }
    if (kept.connection && kept.device == file.st_dev && kept.inode == file.st_ino)
        return kept.connection.get();
    kept.connection = std::make_unique<Connection>(m_patienceMs);
    if (!kept.connection->open(path)) {
        kept.connection.reset();
        return nullptr;
    }
    kept.device = file.st_dev;
    kept.inode = file.st_ino;
    return kept.connection.get();
}

} // namespace logbook
