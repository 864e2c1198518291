#include "log/summary_store.h"

#include "log/connection.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

namespace logbook {

namespace {

const QLatin1String kCreateStore(
    "CREATE TABLE IF NOT EXISTS retired (log TEXT PRIMARY KEY, summary BLOB NOT NULL)");
const QLatin1String kKeepSummary("INSERT OR REPLACE INTO retired (log, summary) VALUES (?, ?)");
const QLatin1String kReadSummaries("SELECT log, summary FROM retired ORDER BY log");
const QLatin1String kReadSummary("SELECT summary FROM retired WHERE log = ?");

QString storePath(const QString &folder) { return QDir(folder).filePath(kSummaryStoreFile); }

} // namespace

DatabaseError keepRetiredSummary(const QString &folder, const QString &log,
                                 const QByteArray &summary) {
    const QString path = storePath(folder);
    // SQLite takes an empty file as an empty database.
    if (QFile empty(path); !empty.exists() && !empty.open(QIODevice::WriteOnly))
        return {DatabaseError::Kind::Failed, path, empty.errorString()};
    Connection db;
    if (!db.open(path) || !db.execute(kCreateStore))
        return db.error();
    QSqlQuery keep(db.database());
    keep.prepare(kKeepSummary);
    keep.addBindValue(log);
    keep.addBindValue(summary);
    if (!keep.exec()) {
        db.setError(keep.lastError());
        return db.error();
    }
    // Read back before anyone trusts it in place of the log.
    QSqlQuery check(db.database());
    check.prepare(kReadSummary);
    check.addBindValue(log);
    if (!check.exec() || !check.next() || check.value(0).toByteArray() != summary)
        return {DatabaseError::Kind::Failed, path,
                QStringLiteral("the summary read back is not the one written")};
    return {};
}

std::vector<std::pair<QString, QByteArray>> retiredSummaries(const QString &folder,
                                                             DatabaseError &error) {
    std::vector<std::pair<QString, QByteArray>> kept;
    const QString path = storePath(folder);
    if (!QFileInfo(path).isFile())
        return kept;
    Connection db;
    if (!db.open(path) || !db.execute(kCreateStore)) {
        error = db.error();
        return kept;
    }
    QSqlQuery read(db.database());
    read.setForwardOnly(true);
    if (!read.exec(kReadSummaries)) {
        db.setError(read.lastError());
        error = db.error();
        return kept;
    }
    while (read.next())
        kept.emplace_back(read.value(0).toString(), read.value(1).toByteArray());
    return kept;
}

} // namespace logbook
