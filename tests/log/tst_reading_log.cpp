#include "core/clock.h"
#include "log/connection.h"
#include "log/data_source.h"
#include "log/log_database.h"
#include "log/reading_log.h"
#include "log/record_grid_model.h"
#include "recording_message_boxes.h"
#include "sqlite_cli.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using logbook::ReadingLog;

namespace {

// Stands in for the window and port control: records what the record limit asks of them and
// what the log files looked like at that moment.
class FakeHost final : public logbook::RecordLimitHost {
  public:
    explicit FakeHost(QString directory) : m_directory(std::move(directory)) {}
    void putLineOff() override {
        calls.append(QStringLiteral("line off, backup exists: %1")
                         .arg(QFile::exists(QDir(m_directory).filePath("maxdb1.mdb"))));
    }
    void resetAfterRecordLimit() override {
        calls.append(
            QStringLiteral("reset, db1 records: %1")
                .arg(sqlite3(QDir(m_directory).filePath("db1.mdb"), "SELECT count(*) FROM b1")));
        nextRecordNo = 0;
    }
    QStringList calls;
    qint32 nextRecordNo = 0;

  private:
    QString m_directory;
};

} // namespace

class TestReadingLog : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<core::SettableClock> m_clock;
    std::unique_ptr<core::RecordingMessageBoxes> m_messages;
    std::unique_ptr<logbook::DataSource> m_data1;
    std::unique_ptr<logbook::RecordGridModel> m_grid;
    std::unique_ptr<ReadingLog> m_log;

    QString file(const char *name) const { return m_dir->filePath(QString::fromLatin1(name)); }

    QString records() const { return sqlite3(file("db1.mdb"), QStringLiteral("SELECT * FROM b1")); }

  private slots:
    void init() {
        m_dir = std::make_unique<QTemporaryDir>();
        createdLog(file("db1.mdb"));
        QFile::copy(file("db1.mdb"), file("db2.mdb"));
        m_clock =
            std::make_unique<core::SettableClock>(QDateTime(QDate(2026, 12, 4), QTime(14, 3, 27)));
        m_messages = std::make_unique<core::RecordingMessageBoxes>();
        m_data1 = std::make_unique<logbook::DataSource>();
        m_data1->setDatabaseName(file("db1.mdb"));
        m_data1->setRecordSource(logbook::kRecordSource);
        QVERIFY(m_data1->refresh());
        m_grid = std::make_unique<logbook::RecordGridModel>(*m_data1);
        m_log =
            std::make_unique<ReadingLog>(m_dir->path(), *m_data1, *m_grid, *m_clock, *m_messages);
    }

    void cleanup() {
        m_log.reset();
        m_grid.reset();
        m_data1.reset();
    }

    void writesTheStatementTextsAsTheyStand() {
        m_log->appendReading(0, "Sound", "73.4", "dB");
        m_clock->advanceMs(1000);
        m_log->appendReading(5, "", "0", "");
        m_log->appendReading(12, "Light", "O.L", "LUX");
        QVERIFY(m_log->writeQueued());
        QCOMPARE(records(), "0|Sound|73.4|dB|14:03:27/12-04-2026|0\n"
                            "5||0||14:03:28/12-04-2026|-5\n"
                            "12|Light|O.L|LUX|14:03:28/12-04-2026|-12");
        QCOMPARE(sqlite3(file("db1.mdb"), "SELECT typeof(AAA), typeof(CCC), typeof(FFFF) FROM b1 "
                                          "LIMIT 1"),
                 "integer|text|integer");
        QCOMPARE(logbook::insertStatement(12, "Sound", "73.4", "dB", "14:03:27/12-04-2026"),
                 "INSERT INTO b1([AAA],[BBB],[CCC],[DDD],[EEE],[FFFF]) "
                 "VALUES(12,'Sound','73.4','dB','14:03:27/12-04-2026',-12)");
        QCOMPARE(m_grid->rowCount(), 3);
        QCOMPARE(m_grid->headerData(4, Qt::Horizontal).toString(), "TIME");
        QVERIFY(m_messages->shown().isEmpty());
    }

    // Another program holding a read transaction keeps the writer from committing. Readings
    // meeting the lock wait in memory; the user hears of it once, when it has lasted.
    void keepsReadingsThatMeetALockAndWritesThemInOrder() {
        m_log->appendReading(0, "Temp", "21.5", "C");
        QVERIFY(m_log->writeQueued());
        logbook::Connection reader;
        QVERIFY(reader.open(file("db1.mdb")));
        QVERIFY(reader.execute("BEGIN"));
        QVERIFY(reader.execute("SELECT count(*) FROM b1"));

        for (int no = 1; no <= 4; ++no) {
            m_clock->advanceMs(1000);
            m_log->appendReading(no, "Temp", QString::number(21.5 + no / 10.0), "C");
            QVERIFY(!m_log->writeQueued());
            QCOMPARE(m_log->waitingCount(), no);
            QCOMPARE(m_messages->shown().size(), no < 4 ? 0 : 1);
        }
        QVERIFY(m_messages->shown().first().contains(QDir::toNativeSeparators(file("db1.mdb"))));
        QVERIFY(m_messages->shown().first().contains("locked"));
        QCOMPARE(m_grid->rowCount(), 1);

        QVERIFY(reader.execute("COMMIT"));
        reader.close();
        m_clock->advanceMs(1000);
        m_log->appendReading(5, "Temp", "22", "C");
        QVERIFY(m_log->writeQueued());
        QCOMPARE(m_log->waitingCount(), 0);
        QCOMPARE(sqlite3(file("db1.mdb"), "SELECT AAA, CCC, EEE FROM b1"),
                 "0|21.5|14:03:27/12-04-2026\n1|21.6|14:03:28/12-04-2026\n"
                 "2|21.7|14:03:29/12-04-2026\n3|21.8|14:03:30/12-04-2026\n"
                 "4|21.9|14:03:31/12-04-2026\n5|22|14:03:32/12-04-2026");
        QCOMPARE(m_grid->rowCount(), 6);
        QCOMPARE(m_messages->shown().size(), 1);
    }

    // (A missing log and a refused reading are proven on the real program reading a meter.)
    void aFileThatIsNoLogIsSaidOnce() {
        QFile junk(file("db1.mdb"));
        QVERIFY(junk.open(QIODevice::WriteOnly));
        junk.write(QByteArray(2048, 'x'));
        junk.close();
        m_log->appendReading(3, "Sound", "43", "dB");
        m_log->appendReading(4, "Sound", "44", "dB");
        QVERIFY(!m_log->writeQueued());
        QCOMPARE(m_messages->shown().size(), 1);
        QVERIFY(m_messages->shown().last().contains("not a database"));
        QCOMPARE(m_log->waitingCount(), 2);
    }

    void failedBackupKeepsTheLogAndResetsNothing() {
        fillLog(file("db1.mdb"), 0, 9);
        QVERIFY(QDir(m_dir->path()).mkdir("maxdb1.mdb"));
        FakeHost host(m_dir->path());
        m_log->enforceRecordLimit(host);
        QCOMPARE(host.calls, QStringList({"line off, backup exists: 1"}));
        QCOMPARE(m_messages->shown().size(), 1);
        QVERIFY(m_messages->shown().first().contains(QDir::toNativeSeparators(file("maxdb1.mdb"))));
        QVERIFY(m_messages->shown().first().contains("keeps all its records"));
        QCOMPARE(sqlite3(file("db1.mdb"), "SELECT count(*) FROM b1"), "10");
        QCOMPARE(m_data1->databaseName(), file("db1.mdb"));
        QCOMPARE(m_grid->rowCount(), 10);
    }
};

QTEST_GUILESS_MAIN(TestReadingLog)
#include "tst_reading_log.moc"
