#include "sqlite_cli.h"

#include <QDir>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

// A process appending readings is killed at random moments. Whatever the moment, the log must
// be a sound database holding every record whose append had returned.
class TestLogCrash : public QObject {
    Q_OBJECT

  private slots:
    void killedWriterLosesNoReturnedRecord() {
        QRandomGenerator random(QRandomGenerator::global()->generate());
        for (int round = 0; round < 4; ++round) {
            QTemporaryDir dir;
            const QString log = createdLog(QDir(dir.path()).filePath("db1.mdb"));
            QProcess writer;
            writer.start(QStringLiteral(LOG_APPEND_LOOP), {dir.path()});
            QVERIFY(writer.waitForReadyRead(10000));
            QTest::qWait(int(random.bounded(50, 400)));
            writer.kill();
            QVERIFY(writer.waitForFinished(10000));
            QVERIFY2(writer.readAllStandardError().isEmpty(), "the writer met a failure");

            const QList<QByteArray> lines = writer.readAllStandardOutput().split('\n');
            // The last piece is either empty or a number cut off by the kill.
            const int confirmed = lines.at(lines.size() - 2).toInt();
            QVERIFY(confirmed > 0);
            QCOMPARE(sqlite3(log, "PRAGMA integrity_check"), "ok");
            const QStringList counts =
                sqlite3(log, QStringLiteral("SELECT count(*), count(DISTINCT AAA), "
                                            "(SELECT count(*) FROM b1 WHERE AAA <= %1) FROM b1")
                                 .arg(confirmed))
                    .split('|');
            QCOMPARE(counts.at(2).toInt(), confirmed + 1);
            QCOMPARE(counts.at(0), counts.at(1));
            QVERIFY(counts.at(0).toInt() <= confirmed + 2);
        }
    }
};

QTEST_GUILESS_MAIN(TestLogCrash)
#include "tst_log_crash.moc"
