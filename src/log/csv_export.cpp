#include "log/csv_export.h"

#include "core/time_stamp.h"
#include "log/connection.h"
#include "log/file_copy.h"
#include "log/log_database.h"

#include <QDir>
#include <QSaveFile>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>

namespace logbook {

namespace {

constexpr qint64 kProgressStep = 4096;

CsvExportResult failed(const QString &reason) { return {CsvExportResult::Kind::Failed, 0, reason}; }

} // namespace

QString csvField(const QString &text) {
    const bool quoted =
        text.contains(u',') || text.contains(u'"') || text.contains(u'\n') || text.contains(u'\r');
    if (!quoted)
        return text;
    QString escaped = text;
    escaped.replace(u'"', QStringLiteral("\"\""));
    return u'"' + escaped + u'"';
}

CsvExportResult exportCsv(const QString &logPath, const QString &csvPath,
                          const std::function<bool(qint64, qint64)> &progress) {
    // The snapshot: a copy made while holding a read lock for the few milliseconds it takes.
    const QTemporaryDir scratch;
    if (!scratch.isValid())
        return failed(
            QStringLiteral("no room for a snapshot of the log (%1)").arg(scratch.errorString()));
    const QString snapshot = scratch.filePath(kLiveLogFile);
    if (const QString why = copyLogFile(logPath, snapshot, CopyTarget::NewFileOnly); !why.isEmpty())
        return failed(QStringLiteral("the log %1 could not be read: %2")
                          .arg(QDir::toNativeSeparators(logPath), why));
    Connection log;
    if (!log.open(snapshot))
        return failed(QStringLiteral("the log %1 could not be read: %2")
                          .arg(QDir::toNativeSeparators(logPath), log.error().reason));
    QSqlQuery count(log.database());
    QSqlQuery rows(log.database());
    rows.setForwardOnly(true);
    if (!count.exec(kCountRecords) || !count.next() || !rows.exec(kRecordSource))
        return failed(QStringLiteral("the log %1 could not be read: it is no log")
                          .arg(QDir::toNativeSeparators(logPath)));
    const qint64 total = count.value(0).toLongLong();

    QSaveFile csv(csvPath);
    if (!csv.open(QIODevice::WriteOnly))
        return failed(csv.errorString());
    CsvExportResult result;
    QByteArray chunk = "NO,FUN,DATA,UNIT,TIME,ISO_TIME\r\n";
    while (rows.next()) {
        QString line = csvField(rows.value(0).toString());
        for (int column = 1; column < 5; ++column)
            line += u',' + csvField(rows.value(column).toString());
        // The time stamp again in an order spreadsheets sort and plot; empty where TIME is none.
        line += u',';
        if (const std::optional<QDateTime> time = core::readTimeStamp(rows.value(4).toString()))
            line += core::isoTime(*time);
        chunk += line.toUtf8() + "\r\n";
        if (++result.records % kProgressStep == 0) {
            if (csv.write(chunk) != chunk.size())
                return failed(csv.errorString());
            chunk.clear();
            if (progress && !progress(result.records, total)) {
                csv.cancelWriting();
                return {CsvExportResult::Kind::Cancelled, result.records, {}};
            }
        }
    }
    if (rows.lastError().isValid())
        return failed(QStringLiteral("the log %1 could not be read to its end: %2")
                          .arg(QDir::toNativeSeparators(logPath), rows.lastError().text()));
    if (csv.write(chunk) != chunk.size() || !csv.commit())
        return failed(csv.errorString());
    return result;
}

} // namespace logbook
