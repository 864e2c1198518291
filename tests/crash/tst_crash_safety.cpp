#include "../log/sqlite_cli.h"
#include "core/clock.h"
#include "core/message_boxes.h"
#include "log/reading_log.h"
#include "meter/fake_serial_line.h"
#include "scenario_script.h"
#include "ui/main_window/program.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

// What the log promises: a record is on disk once its reading has been taken, whatever ends the
// program and whenever. ENVMETER_CRASH_ROUNDS sets the number of kills (100 for the long run).
class TestCrashSafety : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString file(const char *name) const { return m_dir.filePath(QString::fromLatin1(name)); }

    struct Log {
        qint64 count = 0;
        bool whole = false; ///< sound, and numbered 0 .. count - 1 without gap or repeat
    };
    Log inspect(const char *name) const {
        if (!QFile::exists(file(name)))
            return {};
        const bool sound = sqlite3(file(name), "PRAGMA integrity_check") == "ok";
        const QStringList n =
            sqlite3(file(name), "SELECT count(*), count(DISTINCT AAA), min(AAA), max(AAA) FROM b1")
                .split('|');
        const qint64 count = n.value(0).toLongLong();
        return {count,
                sound && n.value(1).toLongLong() == count &&
                    (count == 0 || (n.value(2) == "0" && n.value(3).toLongLong() == count - 1))};
    }

  private slots:
    // The program reading the simulated meter at full speed, killed at random moments (some
    // while the record limit backs the log up and empties it) and started again on the folder.
    void killedAtAnyMomentLosesNoRecord() {
        const int rounds = qEnvironmentVariableIntValue("ENVMETER_CRASH_ROUNDS") > 0
                               ? qEnvironmentVariableIntValue("ENVMETER_CRASH_ROUNDS")
                               : 6;
        QRandomGenerator random(QRandomGenerator::global()->generate());
        createdLog(file("db1.mdb"));
        // Displays of every function, as the log writes them: every record must be one of them.
        QFile script(file("readings.txt"));
        QVERIFY(script.open(QIODevice::WriteOnly));
        script.write("73.40 dB\n_45.2 %RH\n_23.5 C\n-4.5 F\n350.0 LUX\n");
        script.close();
        const QStringList displays{"Sound|73.4|dB", "Humidity|45.2|%RH", "Temp|23.5|C",
                                   "Temp|-4.5|F", "Light|350|LUX"};
        QProcess meter;
        meter.start(METER_SIM, {"--link", file("COM1"), "--script", script.fileName(), "--loop",
                                "--speed", "0"});
        QTRY_VERIFY(QFile::exists(file("COM1")));
        qputenv("ENVMETER_COM1", file("COM1").toLocal8Bit());
        int inLimit = 0;
        qint64 records = 0;
        QElapsedTimer elapsed;
        elapsed.start();
        for (int round = 0; round < rounds; ++round) {
            // Every other round starts just below the record limit, so as to be killed in it.
            const bool nearLimit = round % 2 == 0;
            const qint64 before = inspect("db1.mdb").count;
            if (nearLimit && before < 99900)
                fillLog(file("db1.mdb"), int(before), 99900 + int(random.bounded(90)));
            const qint64 start = inspect("db1.mdb").count;
            QProcess program;
            program.start(LIVE_LOGGER, {m_dir.path()});
            QVERIFY(program.waitForReadyRead(10000));
            QString last;
            const auto readLast = [&] {
                for (const QByteArray &line : program.readAllStandardOutput().split('\n'))
                    if (!line.isEmpty())
                        last = QString::fromLatin1(line);
            };
            // The newest record's NO, counted on past the limit's emptying.
            const auto newestNo = [&] {
                readLast();
                const QStringList newest = last.split(' ');
                return newest.value(0).toLongLong() * 100000 + newest.value(1).toLongLong();
            };
            // The first record it writes goes on from the record count.
            QTRY_VERIFY(newestNo() >= start);
            if (nearLimit) {
                QTRY_VERIFY_WITH_TIMEOUT(newestNo() >= 99995, 20000);
                QTest::qWait(int(random.bounded(150)));
            } else {
                QTest::qWait(int(random.bounded(100, 800)));
            }
            program.kill();
            QVERIFY(program.waitForFinished(10000));
            readLast();
            // No message but the record limit's.
            for (const QByteArray &line : program.readAllStandardError().split('\n'))
                QVERIFY2(!line.startsWith("message: ") ||
                             line.endsWith("Record is out of range,had auto backup to maxdb1.mdb"),
                         line.constData());

            const QStringList newest = last.split(' ');
            const bool limitSeen = newest.value(0) != "0";
            const qint64 committed = newest.value(1).toLongLong() + 1;
            const Log live = inspect("db1.mdb");
            const Log backup = inspect("maxdb1.mdb");
            QVERIFY2(live.whole, qPrintable(QStringLiteral("round %1").arg(round)));
            for (const QString &logged :
                 sqlite3(file("db1.mdb"), "SELECT DISTINCT BBB || '|' || CCC || '|' || DDD FROM b1")
                     .split('\n', Qt::SkipEmptyParts))
                QVERIFY2(displays.contains(logged), qPrintable(logged));
            // Every record on disk before the kill is still there: in the live log, or, when
            // the kill came after the limit emptied it but before that was seen, in the backup.
            const bool emptiedUnseen = !limitSeen && live.count < committed;
            if (emptiedUnseen)
                QVERIFY(backup.whole && backup.count >= committed);
            else
                QVERIFY(live.count >= committed);
            if (!limitSeen && !emptiedUnseen)
                QVERIFY(live.count >= start);
            // Killed inside the limit: its last record written, the log not yet seen emptied.
            inLimit += !limitSeen && (live.count >= 100000 || emptiedUnseen);
            records +=
                limitSeen || emptiedUnseen ? backup.count - start + live.count : live.count - start;
        }
        meter.kill();
        meter.waitForFinished();
        qInfo("%d kills in %.1f s, %d of them during the record limit, %lld records logged", rounds,
              elapsed.elapsed() / 1000.0, inLimit, records);
    }

    // The disk fills up while the line is open: one message, the readings kept in memory, and
    // all of them written, in order, once there is room again.
    void aFullDiskKeepsTheReadingsUntilThereIsRoom() {
        const QString folder = file("small");
        QDir().mkpath(folder);
        if (QProcess::execute("mount", {"-t", "tmpfs", "-o", "size=256k", "tmpfs", folder}) != 0)
            QSKIP("a small file system cannot be mounted here (needs root and mount rights)");
        struct Unmount {
            QString path;
            ~Unmount() { QProcess::execute("umount", {path}); }
        } const unmount{folder};
        createdLog(folder + "/db1.mdb");
        core::SettableClock clock(QDateTime(QDate(2026, 12, 6), QTime(9, 0)));
        core::RecordingMessageBoxes messages;
        meter::FakeSerialLine line;
        const QByteArray reading =
            metersim::parseScript(u"61.2 dB").steps.front().bytes.repeated(2);
        {
            ui::Program program(folder, clock, &messages, &line);
            program.start();
            program.toolbar().OnToolbarButtonClick("bb");
            program.toolbar().OnToolbarButtonClick("dd");
            for (int i = 0; i < 3; ++i)
                line.deliver(reading);
            QVERIFY(program.readingLog().writeQueued());
            QFile filler(folder + "/filler");
            QVERIFY(filler.open(QIODevice::WriteOnly));
            while (filler.write(QByteArray(4096, '\0')) == 4096 && filler.flush()) {
            }
            filler.close();
            for (int i = 0; i < 5; ++i)
                line.deliver(reading);
            QVERIFY(!program.readingLog().writeQueued());
            QCOMPARE(messages.shown().size(), 1);
            QVERIFY(messages.shown()[0].contains("db1.mdb"));
            QCOMPARE(program.readingLog().waitingCount(), 5);
            filler.remove();
            line.deliver(reading);
            QVERIFY(program.readingLog().writeQueued());
            QCOMPARE(program.readingLog().waitingCount(), 0);
        }
        QCOMPARE(sqlite3(folder + "/db1.mdb", "SELECT group_concat(AAA) FROM b1"),
                 "0,1,2,3,4,5,6,7,8");
        QCOMPARE(messages.shown().size(), 1);
    }
};

QTEST_MAIN(TestCrashSafety)
#include "tst_crash_safety.moc"
