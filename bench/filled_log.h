#pragma once

// A log of a given size for the benchmarks, written in one statement.

#include "log/connection.h"
#include "log/log_database.h"

#include <QDir>
#include <QString>

/// Creates db1.mdb in `directory` holding records 0 .. records - 1; returns its path.
inline QString filledLog(const QString &directory, qint64 records) {
    const QString path = QDir(directory).filePath(logbook::kLiveLogFile);
    logbook::createLogDatabase(path);
    if (records > 0) {
        logbook::Connection db;
        db.open(path);
        db.execute(QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n "
                                  "WHERE i < %1) INSERT INTO b1 SELECT i, 'Sound', '73.4', 'dB', "
                                  "'14:03:27/12-04-2026', -i FROM n")
                       .arg(records - 1));
    }
    return path;
}
