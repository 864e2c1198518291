#include "../log/sqlite_cli.h"
#include "core/time_stamp.h"
#include "log/connection.h"
#include "log/log_database.h"
#include "statistics/figures.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

using logbook::LogRecord;

namespace {

const QDateTime kStart(QDate(2026, 12, 4), QTime(8, 0));

/// `count` records of one display, `step` seconds apart from `from` on.
void append(std::vector<LogRecord> &records, const QString &fun, const QString &data,
            const QString &unit, int count, QDateTime &from, int step = 1) {
    for (int i = 0; i < count; ++i, from = from.addSecs(step))
        records.push_back({qint32(records.size()), fun, data, unit, core::timeStamp(from)});
}

/// What `envmeter` prints where there is no display, with its exit code: its output when it
/// exits 0, else what it says on standard error.
std::pair<int, QString> envmeter(const QStringList &arguments) {
    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        environment.remove(name);
    program.setProcessEnvironment(environment);
    program.start(ENVMETER, arguments);
    if (!program.waitForFinished(30000) || program.exitStatus() != QProcess::NormalExit)
        return {-1, program.readAllStandardError()};
    const int code = program.exitCode();
    return {code, code == 0 ? program.readAllStandardOutput() : program.readAllStandardError()};
}

std::pair<int, QString> statistics(const QStringList &arguments) {
    return envmeter(QStringList{"--statistics"} + arguments);
}

} // namespace

class TestStatistics : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

  private slots:
    void answersTheKnownCases() {
        std::vector<LogRecord> eightHours;
        QDateTime at = kStart;
        append(eightHours, "Sound", "85", "dB", 8 * 3600, at);
        stats::GroupFigures sound = stats::spanFigures(eightHours, {}).groups.at(0);
        QCOMPARE(qRound(*sound.lex8h * 1000), 85000);
        QCOMPARE(qRound(*sound.doseNiosh * 1000), 100000);
        QCOMPARE(sound.seconds, 28800.0);

        std::vector<LogRecord> halves;
        at = kStart;
        append(halves, "Sound", "80", "dB", 1800, at);
        append(halves, "Sound", "90", "dB", 1800, at);
        sound = stats::spanFigures(halves, {}).groups.at(0);
        QCOMPARE(qRound(*sound.leq * 100), 8740);
        QCOMPARE(*sound.l50, 90.0);

        // The same temperature throughout has itself as mean kinetic temperature, in F too.
        std::vector<LogRecord> warm;
        at = kStart;
        append(warm, "Temp", "77", "F", 60, at);
        QCOMPARE(qRound(*stats::spanFigures(warm, {}).groups.at(0).mkt * 1000), 77000);
    }

    // A log of every kind of reading, with gaps, a clock set back, overloads and records that
    // are no readings, against an independent computation of the same definitions.
    void agreesWithAnIndependentComputation() {
        QRandomGenerator random(7);
        std::vector<LogRecord> records;
        QDateTime at = kStart;
        const auto some = [&](const QString &fun, const QString &unit, double low, double high,
                              int count, int step = 1) {
            for (int i = 0; i < count; ++i) {
                const double v = low + (high - low) * random.generateDouble();
                append(records, fun, random.bounded(40) == 0 ? "O.L" : QString::number(v, 'f', 1),
                       unit, 1, at, step);
            }
        };
        some("Sound", "dB", 55, 105, 900);
        at = at.addSecs(30); // a gap: a new run
        some("Sound", "dB", 70, 95, 300, 2);
        some("Humidity", "%RH", 30, 70, 200, 3);
        some("Sound", "dB", 60, 80, 100);
        at = at.addSecs(-3600); // the clock set back
        some("Temp", "C", -5, 30, 400, 5);
        some("Temp", "F", 20, 90, 120, 11); // every reading a run of its own
        some("Light", "LUX", 0, 4000, 250);
        append(records, "", "12", "", 3, at);
        records.push_back({qint32(records.size()), "Light", "40", "LUX", "not a time"});
        const QString log = createdLog(m_dir.filePath("mixed.mdb"));
        logbook::Connection db;
        QVERIFY(db.open(log) && db.execute("BEGIN"));
        for (const LogRecord &r : records)
            QVERIFY(db.insert(logbook::insertStatement(r.no, r.function, r.data, r.unit, r.time)));
        QVERIFY(db.execute("COMMIT"));
        db.close();

        for (const QStringList &span :
             {QStringList{"--hi", "85", "--low", "40", "--hi", "temp=20", "--low", "SOUND=60"},
              QStringList{"--from", "2026-12-04T08:05:00", "--to", "2026-12-04T08:30:00"}}) {
            const auto [code, json] = statistics(QStringList{log, "--json"} + span);
            QCOMPARE(code, 0);
            QProcess check;
            check.start("python3", QStringList{STATISTICS_CHECK, log} + span);
            QVERIFY(check.waitForFinished(30000));
            const QJsonObject mine = QJsonDocument::fromJson(json.toUtf8()).object();
            const QJsonObject theirs = QJsonDocument::fromJson(check.readAll()).object();
            QCOMPARE(mine["left_out"], theirs["left_out"]);
            const QJsonArray groups = mine["groups"].toArray();
            QCOMPARE(groups.size(), theirs["groups"].toArray().size());
            QVERIFY(groups.size() >= 4);
            for (qsizetype g = 0; g < groups.size(); ++g) {
                const QJsonObject a = groups[g].toObject();
                const QJsonObject b = theirs["groups"].toArray()[g].toObject();
                QCOMPARE(a.keys(), b.keys());
                for (const QString &key : a.keys())
                    QVERIFY2(a[key].isDouble() ? qAbs(a[key].toDouble() - b[key].toDouble()) <
                                                     1e-9 * (1 + qAbs(b[key].toDouble()))
                                               : a[key] == b[key],
                             qPrintable(a["function"].toString() + ' ' + key));
            }
        }
    }

    // Answered on the terminal with no display: the help, the version and every mistake, each
    // mistake in one line with exit 2.
    void answersOnTheTerminal_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("told");
        const QStringList log{"--statistics", "x"};
        QTest::newRow("help") << QStringList{"--help"} << 0 << "--statistics <logfile>";
        QTest::newRow("version") << QStringList{"--version"} << 0 << "envmeter 1.";
        QTest::newRow("unknown option") << QStringList{"--colour"} << 2 << "'colour'";
        QTest::newRow("stray argument") << QStringList{"db1.mdb"} << 2 << "db1.mdb";
        QTest::newRow("no log") << QStringList{"--statistics", "/no/such.mdb"} << 2
                                << "cannot be read as a log";
        QTest::newRow("bad time") << log + QStringList{"--from", "2026-12-04 08:00"} << 2
                                  << "--from needs a time";
        QTest::newRow("from after to")
            << log + QStringList{"--to", "2026-12-04T08:00:00", "--from", "2026-12-04T09:00:00"}
            << 2 << "is after --to";
        QTest::newRow("bad number")
            << log + QStringList{"--hi", "loud"} << 2 << "--hi needs a number";
        QTest::newRow("no such function")
            << log + QStringList{"--low", "noise=40"} << 2 << "not \"noise=40\"";
        QTest::newRow("a limit twice") << log + QStringList{"--hi", "temp=3", "--hi", "Temp=4"} << 2
                                       << "--hi gives temp twice";
        QTest::newRow("limit alone") << QStringList{"--hi", "85"} << 2 << "with --statistics";
    }
    void answersOnTheTerminal() {
        QFETCH(QStringList, arguments);
        QFETCH(int, code);
        QFETCH(QString, told);
        const auto [exitCode, said] = envmeter(arguments);
        QCOMPARE(exitCode, code);
        QVERIFY2(said.contains(told) && (code == 0 || said.count('\n') == 1), qPrintable(said));
    }
};

QTEST_GUILESS_MAIN(TestStatistics)
#include "tst_statistics.moc"
