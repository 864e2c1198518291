#pragma once

// The sqlite3 command-line tool as an independent reader and writer of log files, so tests
// do not check our database code only with itself.

#include "log/log_database.h"

#include <QProcess>
#include <QString>
#include <QTest>

/// Runs `sql` on the file; a failure fails the test. Like any reader beside the program, it
/// waits while the program holds the file locked.
inline QString sqlite3(const QString &path, const QString &sql) {
    QProcess process;
    process.start(QStringLiteral("sqlite3"),
                  {QStringLiteral("-cmd"), QStringLiteral(".timeout 10000"), path, sql});
    if (!process.waitForFinished(30000) || process.exitCode() != 0)
        QTest::qFail(
            qPrintable(QStringLiteral("sqlite3 %1 '%2' failed: %3")
                           .arg(path, sql, QString::fromLocal8Bit(process.readAllStandardError()))),
            __FILE__, __LINE__);
    return QString::fromUtf8(process.readAllStandardOutput()).trimmed();
}

/// Appends records numbered first..last to table b1, as the program writes them, stamped at
/// 14:03:27 of `day` (mm-dd-yyyy).
inline void fillLog(const QString &path, int first, int last, const char *day = "12-04-2026") {
    sqlite3(path, QStringLiteral("WITH RECURSIVE n(i) AS (SELECT %1 UNION ALL SELECT i + 1 FROM n "
                                 "WHERE i < %2) INSERT INTO b1 SELECT i, 'Sound', '73.4', 'dB', "
                                 "'14:03:27/%3', -i FROM n;")
                      .arg(first)
                      .arg(last)
                      .arg(QLatin1String(day)));
}

/// Creates an empty log at `path` with the program's own function and returns the path.
inline QString createdLog(const QString &path) {
    if (const logbook::DatabaseError error = logbook::createLogDatabase(path))
        qFatal("cannot create %s: %s", qPrintable(path), qPrintable(error.reason));
    return path;
}
