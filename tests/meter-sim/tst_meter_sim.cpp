#include "../log/sqlite_cli.h"
#include "test_files.h"

#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

namespace {

/// A program as shipped, run in `folder`; what it says on standard error is kept.
struct Run {
    Run(const QString &program, const QStringList &arguments) { process.start(program, arguments); }
    ~Run() {
        process.kill();
        process.waitForFinished();
    }
    QString said() { return told += QString::fromUtf8(process.readAllStandardError()); }
    QProcess process;
    QString told;
};

} // namespace

// The simulated meter as shipped, read by envmeter-logger as shipped: each line of a script is
// one reading of the program, at the pace the reader takes them; the end is said; mistakes in
// its options are refused as the other programs refuse theirs.
class TestMeterSim : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

  private slots:
    void playsEachLineAsOneReadingOfTheProgram() {
        const QString port = m_dir.filePath("COM1");
        const QString script = m_dir.filePath("script.txt");
        QVERIFY(writeFile(script, "_23.5 C *20\nO.L_ LUX\n-1.5 C HOLD\n"));
        // Started before anyone reads, it waits for the reader, whose opening clears the line.
        Run played(METER_SIM, {"--script", script, "--speed", "0", "--link", port});
        QTRY_VERIFY(QFile::exists(port));
        Run logger(ENVMETER_LOGGER, {"--device", port, "--data", m_dir.path()});
        QVERIFY(played.process.waitForFinished(20000));
        QCOMPARE(played.process.exitCode(), 0);
        QCOMPARE(played.said(), "envmeter-meter-sim: 22 readings sent, the end of the script; "
                                "ending\n");
        QTRY_VERIFY(logger.said().contains("has gone away"));

        // The demo's first six frames: three readings.
        Run demo(METER_SIM, {"--frames", "6", "--speed", "0", "--link", port});
        QVERIFY(demo.process.waitForFinished(20000));
        QVERIFY(demo.said().startsWith("envmeter-meter-sim: 3 readings sent, the frames asked"));
        // Stopped by SIGTERM, it says how far it got.
        Run stopped(METER_SIM, {"--speed", "0", "--link", port});
        QTRY_COMPARE(logger.said().count("is back;"), 2);
        stopped.process.terminate();
        QVERIFY(stopped.process.waitForFinished(10000));
        QCOMPARE(stopped.process.exitCode(), 0);
        QVERIFY2(QRegularExpression("^envmeter-meter-sim: [0-9]+ readings sent; stopped\n$")
                     .match(stopped.said())
                     .hasMatch(),
                 qPrintable(stopped.told));
        logger.process.terminate();
        QVERIFY(logger.process.waitForFinished(10000));
        QCOMPARE(logger.said().count("has gone away"), 3);
        const QString log = m_dir.filePath("db1.mdb");
        const QStringList readings = QStringList(20, "23.5 C") + QStringList{"O.L LUX", "-1.5 C"};
        QCOMPARE(sqlite3(log, "SELECT CCC || ' ' || DDD FROM b1 LIMIT 22").split(QLatin1Char(10)),
                 readings);
        QVERIFY(sqlite3(log, "SELECT count(*) FROM b1").toInt() >= 25);
    }

    void refusesWhatItCannotFollow() {
        for (const QStringList &arguments :
             {QStringList{"--bogus"}, QStringList{"--speed", "-1"}, QStringList{"--frames", "x"},
              QStringList{"stray"}, QStringList{"--script", m_dir.filePath("none.txt")}}) {
            Run refused(METER_SIM, arguments);
            QVERIFY(refused.process.waitForFinished());
            QCOMPARE(refused.process.exitCode(), 2);
            QCOMPARE(refused.said().count('\n'), 1);
        }
        Run version(METER_SIM, {"--version"});
        QVERIFY(version.process.waitForFinished());
        QCOMPARE(version.process.exitCode(), 0);
        QCOMPARE(version.process.readAllStandardOutput(), "envmeter-meter-sim 1.0.0\n");
    }
};

QTEST_GUILESS_MAIN(TestMeterSim)
#include "tst_meter_sim.moc"
