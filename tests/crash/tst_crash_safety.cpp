#include "../log/sqlite_cli.h"
#include "app/envmeter/program.h"
#include "core/clock.h"
#include "fake_serial_line.h"
#include "log/reading_log.h"
#include "recording_message_boxes.h"
#include "scenario_script.h"
#include "test_files.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

namespace {

/// The program as main() builds it (tests/crash/live_logger.cpp) on a folder, reading COM1 there.
struct LiveLogger {
    LiveLogger(const QString &folder, const QProcessEnvironment &environment) {
        QProcessEnvironment e = environment;
        e.insert("ENVMETER_COM1", folder + "/COM1");
        process.setProcessEnvironment(e);
        process.start(LIVE_LOGGER, {folder});
    }
    /// Its last line: "<limits> <newest NO on disk> <readings waiting>", or "ended <next NO>".
    QStringList last() {
        for (const QByteArray &line : process.readAllStandardOutput().split('\n'))
            if (!line.isEmpty())
                lastLine = QString::fromLatin1(line).split(' ');
        return lastLine;
    }
    /// The messages it would have shown, all of them the record limit's.
    bool toldOnlyTheRecordLimit() {
        for (const QByteArray &line : process.readAllStandardError().split('\n'))
            if (line.startsWith("message: ") &&
                !line.endsWith("Record is out of range,had auto backup to maxdb1.mdb"))
                return false;
        return true;
    }
    QProcess process;
    QStringList lastLine;
};

} // namespace

// What the log promises: every reading taken is written, a slow disk costing none, and a record
// once committed stays, whatever ends the program and whenever. ENVMETER_CRASH_ROUNDS sets the
// number of kills (100 for the long run).
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
    // A kill costs the readings taken and not yet committed, never a committed one: at most
    // those of the commit under way and the ones taken meanwhile.
    void killedAtAnyMomentLosesNoCommittedRecord() {
        const int rounds = qEnvironmentVariableIntValue("ENVMETER_CRASH_ROUNDS") > 0
                               ? qEnvironmentVariableIntValue("ENVMETER_CRASH_ROUNDS")
                               : 6;
        QRandomGenerator random(QRandomGenerator::global()->generate());
        createdLog(file("db1.mdb"));
        // Displays of every function, as the log writes them: every record must be one of them.
        const QString script = file("readings.txt");
        QVERIFY(writeFile(script, "73.40 dB\n_45.2 %RH\n_23.5 C\n-4.5 F\n350.0 LUX\n"));
        const QStringList displays{"Sound|73.4|dB", "Humidity|45.2|%RH", "Temp|23.5|C",
                                   "Temp|-4.5|F", "Light|350|LUX"};
        QProcess meter;
        meter.start(METER_SIM,
                    {"--link", file("COM1"), "--script", script, "--loop", "--speed", "0"});
        QTRY_VERIFY(QFile::exists(file("COM1")));
        int inLimit = 0;
        qint64 records = 0;
        int mostWaiting = 0;
        int mostLost = 0;
        QElapsedTimer elapsed;
        elapsed.start();
        for (int round = 0; round < rounds; ++round) {
            // Every other round starts just below the record limit, so as to be killed in it.
            const bool nearLimit = round % 2 == 0;
            const qint64 before = inspect("db1.mdb").count;
            if (nearLimit && before < 99900)
                fillLog(file("db1.mdb"), int(before), 99900 + int(random.bounded(90)));
            const qint64 start = inspect("db1.mdb").count;
            LiveLogger program(m_dir.path(), QProcessEnvironment::systemEnvironment());
            QVERIFY(program.process.waitForReadyRead(10000));
            // The newest record's NO, counted on past the limit's emptying.
            const auto newestNo = [&] {
                const QStringList last = program.last();
                mostWaiting = std::max(mostWaiting, last.value(2).toInt());
                return last.value(0).toLongLong() * 100000 + last.value(1).toLongLong();
            };
            // The first record it writes goes on from the record count.
            QTRY_VERIFY(newestNo() >= start);
            if (nearLimit) {
                QTRY_VERIFY_WITH_TIMEOUT(newestNo() >= 99995, 20000);
                QTest::qWait(int(random.bounded(150)));
            } else {
                QTest::qWait(int(random.bounded(100, 800)));
            }
            program.process.kill();
            QVERIFY(program.process.waitForFinished(10000));
            const QStringList newest = program.last();
            QVERIFY(program.toldOnlyTheRecordLimit());

            const bool limitSeen = newest.value(0) != "0";
            const qint64 committed = newest.value(1).toLongLong() + 1;
            const Log live = inspect("db1.mdb");
            const Log backup = inspect("maxdb1.mdb");
            QVERIFY2(live.whole, qPrintable(QStringLiteral("round %1").arg(round)));
            for (const QString &logged :
                 sqlite3(file("db1.mdb"), "SELECT DISTINCT BBB || '|' || CCC || '|' || DDD FROM b1")
                     .split('\n', Qt::SkipEmptyParts))
                QVERIFY2(displays.contains(logged), qPrintable(logged));
            // Every record committed before the kill is still there: in the live log, or, when
            // the kill came after the limit emptied it but before that was seen, in the backup.
            const bool emptiedUnseen = !limitSeen && live.count < committed;
            if (emptiedUnseen)
                QVERIFY(backup.whole && backup.count >= committed);
            else
                QVERIFY(live.count >= committed);
            if (!limitSeen && !emptiedUnseen) {
                QVERIFY(live.count >= start);
                mostLost =
                    std::max(mostLost, int(committed + newest.value(2).toInt() - live.count));
            }
            // Killed inside the limit: its last record written, the log not yet seen emptied.
            inLimit += !limitSeen && (live.count >= 100000 || emptiedUnseen);
            records +=
                limitSeen || emptiedUnseen ? backup.count - start + live.count : live.count - start;
        }
        meter.kill();
        meter.waitForFinished();
        qInfo("%d kills in %.1f s, %d of them during the record limit, %lld records logged; at "
              "most %d readings were taken and not yet committed at a time, and a kill lost at "
              "most %d readings, none of them committed",
              rounds, elapsed.elapsed() / 1000.0, inLimit, records, mostWaiting, mostLost);
    }

    // Every sync 100 ms late, as on an SD card, a USB stick or a network folder, with the meter
    // at its own line rate: every reading is logged, in order; a record limit met on that disk
    // keeps every record in the backup; SIGTERM writes the readings still queued before the end.
    void aSlowDiskCostsNoReading() {
        const QString folder = file("slow");
        QVERIFY(QDir().mkpath(folder));
        fillLog(createdLog(folder + "/db1.mdb"), 0, 99969);
        // Readings counting up.
        QByteArray counting;
        for (int n = 1; n <= 300; ++n)
            counting += QByteArray::number(n) + " C\n";
        const QString script = folder + "/count.txt";
        QVERIFY(writeFile(script, counting));
        QProcess meter;
        meter.start(METER_SIM, {"--link", folder + "/COM1", "--script", script});
        QTRY_VERIFY(QFile::exists(folder + "/COM1"));
        QProcessEnvironment slowDisk = QProcessEnvironment::systemEnvironment();
        slowDisk.insert("LD_PRELOAD", SLOW_SYNC);
        slowDisk.insert("ENVMETER_SYNC_DELAY_MS", "100");
        // A sanitized program wants its runtime loaded first; the slow disk comes before it.
        slowDisk.insert("ASAN_OPTIONS",
                        slowDisk.value("ASAN_OPTIONS") + ":verify_asan_link_order=0");
        LiveLogger program(folder, slowDisk);
        // Past the limit, and 30 readings taken after it.
        QTRY_VERIFY_WITH_TIMEOUT(
            program.last().value(0) == "1" &&
                program.lastLine.value(1).toInt() + program.lastLine.value(2).toInt() >= 29,
            40000);
        program.process.terminate();
        QVERIFY(program.process.waitForFinished(10000));
        meter.kill();
        meter.waitForFinished();
        QCOMPARE(program.process.exitCode(), 0);
        QVERIFY(program.toldOnlyTheRecordLimit());
        const QStringList ended = program.last();
        QCOMPARE(ended.value(0), "ended");

        const QString live = folder + "/db1.mdb";
        const QString backup = folder + "/maxdb1.mdb";
        QCOMPARE(sqlite3(live, "SELECT count(*), max(AAA) + 1 FROM b1"),
                 ended.value(1) + '|' + ended.value(1));
        QCOMPARE(sqlite3(backup, "SELECT count(*), count(DISTINCT AAA), max(AAA) FROM b1"),
                 "100000|100000|99999");
        // Each of the two runs of readings, before and after the limit, without a gap.
        for (const auto &[log, taken] : {std::pair(backup, "AAA >= 99970"), std::pair(live, "1")}) {
            const QStringList values =
                sqlite3(log,
                        QStringLiteral("SELECT CCC FROM b1 WHERE %1 ORDER BY rowid").arg(taken))
                    .split('\n');
            for (int i = 1; i < values.size(); ++i)
                QCOMPARE(values[i].toInt(), values[i - 1].toInt() + 1);
        }
    }

    // The disk fills up while the line is open: one message, the readings kept in memory, and
    // all of them written, in order, once there is room again. Then full at the record limit:
    // the backup's failure told once, in the system's words, and its success once.
    void aFullDiskKeepsTheReadingsUntilThereIsRoom() {
        const QString folder = file("small");
        QDir().mkpath(folder);
        const SmallDisk disk(folder, "24m");
        if (!disk.mounted())
            QSKIP("a small file system cannot be mounted here (needs root and mount rights)");
        fillLog(createdLog(folder + "/db1.mdb"), 0, 99989);
        core::SettableClock clock(QDateTime(QDate(2026, 12, 6), QTime(9, 0)));
        core::RecordingMessageBoxes messages;
        meter::FakeSerialLine line;
        const QByteArray reading = metersim::parseScript(u"61.2 dB").steps.front().bytes;
        // Fills the disk but for `room` bytes.
        QFile filler(folder + "/filler");
        const auto fill = [&filler](qint64 room) {
            QVERIFY(filler.open(QIODevice::WriteOnly));
            while (filler.write(QByteArray(4096, '\0')) == 4096 && filler.flush()) {
            }
            filler.close();
            QVERIFY(filler.resize(std::max<qint64>(filler.size() - room, 0)));
        };
        {
            app::Program program(folder, clock, &messages, &line);
            program.start();
            program.toolbar().onToolbarButtonClick(window::toolbar::kCommPort);
            program.toolbar().onToolbarButtonClick(window::toolbar::kOffLineOnLine);
            for (int i = 0; i < 3; ++i)
                line.deliver(reading);
            QVERIFY(program.readingLog().writeQueued());
            fill(0);
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
            QCOMPARE(sqlite3(folder + "/db1.mdb", "SELECT count(*), max(AAA) FROM b1"),
                     "99999|99998");

            // Room for the records, none for the backup: the line stays on, readings go on
            // being logged, and each tries the backup again.
            messages.clear();
            fill(128 * 1024);
            for (int i = 0; i < 5; ++i) {
                line.deliver(reading);
                QCOMPARE(program.model().text(window::ControlId::lineState), "ONLine");
            }
            QVERIFY(program.readingLog().writeQueued());
            QCOMPARE(messages.shown().size(), 1);
            QVERIFY2(messages.shown()[0].contains("No space left on device"),
                     qPrintable(messages.shown()[0]));
            // Room for the backup, none for emptying the log after it: undone, not kept twice.
            filler.remove();
            fill(5500 * 1024);
            line.deliver(reading);
            QCOMPARE(messages.shown().size(), 1);
            QCOMPARE(QDir(folder).entryList({"maxdb1*"}), QStringList());
            filler.remove();
            line.deliver(reading);
            QCOMPARE(program.model().text(window::ControlId::lineState), "OFFLine");
            QCOMPARE(messages.shown().size(), 2);
            QCOMPARE(messages.shown()[1], "Record is out of range,had auto backup to maxdb1.mdb");
        }
        QCOMPARE(sqlite3(folder + "/maxdb1.mdb", "SELECT count(*), count(DISTINCT AAA) FROM b1"),
                 "100006|100006");
    }
};

QTEST_MAIN(TestCrashSafety)
#include "tst_crash_safety.moc"
