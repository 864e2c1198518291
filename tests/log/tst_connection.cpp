#include "log/connection.h"
#include "log/log_database.h"
#include "sqlite_cli.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using logbook::Connection;
using logbook::DatabaseError;

class TestConnection : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

    QString newLog(const QString &name) {
        const QString path = m_dir.filePath(name);
        return createdLog(path);
    }

  private slots:
    void createsTheLogTableWithItsColumnTypes() {
        const QString path = newLog(QStringLiteral("created.mdb"));
        QCOMPARE(QDir(m_dir.path()).entryList(QDir::Files), QStringList{"created.mdb"});
        QCOMPARE(sqlite3(path, QStringLiteral(".schema")),
                 "CREATE TABLE b1 (AAA INTEGER, BBB TEXT, CCC TEXT, DDD TEXT, EEE TEXT, FFFF "
                 "INTEGER);");
        QCOMPARE(sqlite3(path, QStringLiteral("PRAGMA journal_mode")), "delete");
        QCOMPARE(logbook::createLogDatabase(path).kind, DatabaseError::Kind::Failed);
    }

    void openFailsOnMissingFileWithoutCreatingIt() {
        const QString path = m_dir.filePath(QStringLiteral("missing.mdb"));
        Connection connection;
        QVERIFY(!connection.open(path));
        QCOMPARE(connection.error().kind, DatabaseError::Kind::Missing);
        QCOMPARE(connection.error().file, path);
        QVERIFY(!QFile::exists(path));
    }

    // Rows 5..9 are deleted so that positions and rowids differ, as in a log edited elsewhere.
    void recordSetWalksTheTableInStoredOrder() {
        const QString path = newLog(QStringLiteral("walk.mdb"));
        fillLog(path, 0, 19);
        sqlite3(path, QStringLiteral("DELETE FROM b1 WHERE AAA BETWEEN 5 AND 9"));
        Connection connection;
        QVERIFY(connection.open(path));
        logbook::RecordSet *set = connection.openRecordSet();
        QVERIFY(set);
        QCOMPARE(set->intValue(0), 0);
        QCOMPARE(set->textValue(1), "Sound");
        QCOMPARE(set->textValue(0), "0");
        QCOMPARE(set->intValue(5), 0);
        set->move(5);
        QCOMPARE(set->intValue(0), 10);
        QCOMPARE(set->intValue(5), -10);
        set->movePrevious();
        QCOMPARE(set->intValue(0), 4);
        set->moveLast();
        QCOMPARE(set->intValue(0), 19);
        set->move(-14);
        QCOMPARE(set->intValue(0), 0);
        QVERIFY(!set->isBeforeFirst());
        set->movePrevious();
        QVERIFY(set->isBeforeFirst());
        QCOMPARE(set->textValue(2), QString());
        set->move(2);
        QCOMPARE(set->intValue(0), 1);
        set->move(100);
        QVERIFY(set->isAfterLast());
        set->move(-1);
        QCOMPARE(set->intValue(0), 19);
        set->moveFirst();
        set->move(-3);
        QVERIFY(set->isBeforeFirst());
    }

    void recordSetOfEmptyLogIsBeforeFirstAndAfterLast() {
        Connection connection;
        QVERIFY(connection.open(newLog(QStringLiteral("empty.mdb"))));
        logbook::RecordSet *set = connection.openRecordSet();
        QVERIFY(set);
        QVERIFY(set->isBeforeFirst() && set->isAfterLast());
        set->moveLast();
        set->move(3);
        QVERIFY(set->isBeforeFirst() && set->isAfterLast());
    }
};

QTEST_GUILESS_MAIN(TestConnection)
#include "tst_connection.moc"
