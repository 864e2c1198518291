#include "live_log.h"
#include "log/connection.h"
#include "sqlite_cli.h"
#include "test_files.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

class TestReadingLog : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<LiveLog> m_live;

    QString file(const char *name) const { return m_dir->filePath(QString::fromLatin1(name)); }

    QString records() const { return sqlite3(file("db1.mdb"), QStringLiteral("SELECT * FROM b1")); }

  private slots:
    void init() {
        m_dir = std::make_unique<QTemporaryDir>();
        createdLog(file("db1.mdb"));
        QFile::copy(file("db1.mdb"), file("db2.mdb"));
        m_live = std::make_unique<LiveLog>(m_dir->path());
    }

    void writesTheStatementTextsAsTheyStand() {
        m_live->log.appendReading(0, "Sound", "73.4", "dB");
        m_live->clock.advanceMs(1000);
        m_live->log.appendReading(5, "", "0", "");
        m_live->log.appendReading(12, "Light", "O.L", "LUX");
        QVERIFY(m_live->log.writeQueued());
        QCOMPARE(records(), "0|Sound|73.4|dB|14:03:27/12-04-2026|0\n"
                            "5||0||14:03:28/12-04-2026|-5\n"
                            "12|Light|O.L|LUX|14:03:28/12-04-2026|-12");
        QCOMPARE(sqlite3(file("db1.mdb"), "SELECT typeof(AAA), typeof(CCC), typeof(FFFF) FROM b1 "
                                          "LIMIT 1"),
                 "integer|text|integer");
        QCOMPARE(logbook::insertStatement(12, "Sound", "73.4", "dB", "14:03:27/12-04-2026"),
                 "INSERT INTO b1([AAA],[BBB],[CCC],[DDD],[EEE],[FFFF]) "
                 "VALUES(12,'Sound','73.4','dB','14:03:27/12-04-2026',-12)");
        QCOMPARE(m_live->grid.rowCount(), 3);
        QCOMPARE(m_live->grid.headerData(4, Qt::Horizontal).toString(), "TIME");
        QVERIFY(m_live->messages.shown().isEmpty());
    }

    // Another program holding a read transaction keeps the writer from committing. Readings
    // meeting the lock wait in memory; the user hears of it once, when it has lasted.
    void keepsReadingsThatMeetALockAndWritesThemInOrder() {
        m_live->log.appendReading(0, "Temp", "21.5", "C");
        QVERIFY(m_live->log.writeQueued());
        logbook::Connection reader;
        QVERIFY(reader.open(file("db1.mdb")));
        QVERIFY(reader.execute("BEGIN"));
        QVERIFY(reader.execute("SELECT count(*) FROM b1"));

        for (int no = 1; no <= 4; ++no) {
            m_live->clock.advanceMs(1000);
            m_live->log.appendReading(no, "Temp", QString::number(21.5 + no / 10.0), "C");
            QVERIFY(!m_live->log.writeQueued());
            QCOMPARE(m_live->log.waitingCount(), no);
            QCOMPARE(m_live->messages.shown().size(), no < 4 ? 0 : 1);
        }
        QVERIFY(
            m_live->messages.shown().first().contains(QDir::toNativeSeparators(file("db1.mdb"))));
        QVERIFY(m_live->messages.shown().first().contains("locked"));
        QCOMPARE(m_live->grid.rowCount(), 1);

        QVERIFY(reader.execute("COMMIT"));
        reader.close();
        m_live->clock.advanceMs(1000);
        m_live->log.appendReading(5, "Temp", "22", "C");
        QVERIFY(m_live->log.writeQueued());
        QCOMPARE(m_live->log.waitingCount(), 0);
        QCOMPARE(sqlite3(file("db1.mdb"), "SELECT AAA, CCC, EEE FROM b1"),
                 "0|21.5|14:03:27/12-04-2026\n1|21.6|14:03:28/12-04-2026\n"
                 "2|21.7|14:03:29/12-04-2026\n3|21.8|14:03:30/12-04-2026\n"
                 "4|21.9|14:03:31/12-04-2026\n5|22|14:03:32/12-04-2026");
        QCOMPARE(m_live->grid.rowCount(), 6);
        QCOMPARE(m_live->messages.shown().size(), 1);
    }

    // (A missing log and a refused reading are proven on the real program reading a meter.)
    void aFileThatIsNoLogIsSaidOnce() {
        QVERIFY(writeFile(file("db1.mdb"), QByteArray(2048, 'x')));
        m_live->log.appendReading(3, "Sound", "43", "dB");
        m_live->log.appendReading(4, "Sound", "44", "dB");
        QVERIFY(!m_live->log.writeQueued());
        QCOMPARE(m_live->messages.shown().size(), 1);
        QVERIFY(m_live->messages.shown().last().contains("not a database"));
        QCOMPARE(m_live->log.waitingCount(), 2);
    }
};

QTEST_GUILESS_MAIN(TestReadingLog)
#include "tst_reading_log.moc"
