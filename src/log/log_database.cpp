#include "log/log_database.h"

#include "log/connection.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryFile>

namespace logbook {

QString insertStatement(qint32 no, const QString &fun, const QString &data, const QString &unit,
                        const QString &timeStamp) {
    const qint64 negated = -qint64(no);
    return QStringLiteral("INSERT INTO b1([AAA],[BBB],[CCC],[DDD],[EEE],[FFFF]) VALUES(") +
           QString::number(no) + QStringLiteral(",'") + fun + QStringLiteral("','") + data +
           QStringLiteral("','") + unit + QStringLiteral("','") + timeStamp + QStringLiteral("',") +
           QString::number(negated) + u')';
}

DatabaseError createLogDatabase(const QString &path) {
    if (QFileInfo::exists(path))
        return {DatabaseError::Kind::Failed, path, QStringLiteral("the file already exists")};
    // Built under a temporary name and renamed when complete. SQLite takes the empty file as
    // an empty database.
    QTemporaryFile file(path + QStringLiteral(".XXXXXX"));
    if (!file.open())
        return {DatabaseError::Kind::Failed, path, file.errorString()};
    file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup |
                        QFileDevice::WriteGroup | QFileDevice::ReadOther);
    {
        Connection connection;
        if (!connection.open(file.fileName()) ||
            !connection.execute(QStringLiteral("CREATE TABLE b1 (AAA INTEGER, BBB TEXT, CCC TEXT, "
                                               "DDD TEXT, EEE TEXT, FFFF INTEGER)")))
            return {connection.error().kind, path, connection.error().reason};
    }
    // The empty journal a committed transaction leaves stays with the temporary name.
    QFile::remove(file.fileName() + QStringLiteral("-journal"));
    if (!file.rename(path))
        return {DatabaseError::Kind::Failed, path, file.errorString()};
    file.setAutoRemove(false);
    return {};
}

std::optional<qint32> countLogRecords(const QString &path, DatabaseError &error) {
    Connection db;
    if (!db.open(path)) {
        error = db.error();
        return {};
    }
    QSqlQuery query(db.database());
    if (!query.exec(QStringLiteral("SELECT count(*) FROM (%1)").arg(kRecordSource)) ||
        !query.next()) {
        db.setError(query.lastError());
        error = db.error();
        return {};
    }
    error = {};
    return qint32(query.value(0).toLongLong());
}

std::optional<LogEnds> logEnds(const QString &path, DatabaseError &error) {
    Connection db;
    if (!db.open(path)) {
        error = db.error();
        return std::nullopt;
    }
    QSqlQuery query(db.database());
    if (!query.exec(kCountAndEnds) || !query.next()) {
        db.setError(query.lastError());
        error = db.error();
        return std::nullopt;
    }
    return LogEnds{qint32(query.value(0).toLongLong()), query.value(1).toString(),
                   query.value(2).toString()};
}

std::optional<std::vector<LogRecord>> readLogRecords(const QString &path, DatabaseError &error) {
    Connection db;
    if (!db.open(path)) {
        error = db.error();
        return std::nullopt;
    }
    QSqlQuery query(db.database());
    query.setForwardOnly(true);
    if (!query.exec(kRecordsByNo)) {
        db.setError(query.lastError());
        error = db.error();
        return std::nullopt;
    }
    std::vector<LogRecord> records;
    while (query.next())
        records.push_back({query.value(0).toInt(), query.value(1).toString(),
                           query.value(2).toString(), query.value(3).toString(),
                           query.value(4).toString()});
    return records;
}

QStringList historyFiles(const QString &folder) {
    const QDir dir(folder);
    QStringList files;
    for (const QString &name : dir.entryList(
             {QString(kBackupLogFile), QStringLiteral("maxdb1-*.mdb"), QString(kLiveLogFile)},
             QDir::Files, QDir::Name))
        files.append(dir.filePath(name));
    return files;
}

QString keptBackupPath(const QString &directory, const QDateTime &last, int n) {
    const QString stem =
        QStringLiteral("maxdb1-") + last.toString(QStringLiteral("yyyy-MM-dd-HHmmss"));
    return QDir(directory).filePath(n == 1 ? stem + QStringLiteral(".mdb")
                                           : QStringLiteral("%1-%2.mdb").arg(stem).arg(n));
}

bool isKeptBackupName(const QString &name) {
    static const QRegularExpression kept(
        QStringLiteral("^maxdb1-\\d{4}-\\d\\d-\\d\\d-\\d{6}(-\\d+)?\\.mdb$"));
    return kept.match(name).hasMatch();
}

QString meterFolder(const QString &dataFolder, const QString &name) {
    const QString folder = QDir(dataFolder).filePath(name);
    if (QFileInfo::exists(folder))
        return folder;
    if (!QDir().mkpath(folder) || createLogDatabase(QDir(folder).filePath(kLiveLogFile)))
        return {};
    return folder;
}

} // namespace logbook
