#include "../log/sqlite_cli.h"
#include "core/time_stamp.h"
#include "core/zone_clock.h"
#include "log/connection.h"
#include "log/log_database.h"
#include "log/summary_store.h"
#include "session/log_retirement.h"
#include "statistics/figures.h"
#include "statistics/log_history.h"
#include "test_files.h"

#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

#include <functional>

#include <sys/stat.h>

using logbook::LogRecord;

namespace {

const QDateTime kStart(QDate(2026, 12, 4), QTime(8, 0));

/// `count` records of one display, `step` seconds apart from `from` on.
void append(std::vector<LogRecord> &records, const QString &fun, const QString &data,
            const QString &unit, int count, QDateTime &from, int step = 1) {
    for (int i = 0; i < count; ++i, from = from.addSecs(step))
        records.push_back({qint32(records.size()), fun, data, unit, core::timeStamp(from)});
}

/// The environment of the programs the test starts: no display, the zone given.
QProcessEnvironment environmentIn(const QString &zone) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        environment.remove(name);
    if (!zone.isEmpty())
        environment.insert("TZ", zone);
    return environment;
}

/// What `envmeter` prints where there is no display, with its exit code: its output when it
/// exits 0, else what it says on standard error.
std::pair<int, QString> envmeter(const QStringList &arguments, const QString &zone = {}) {
    QProcess program;
    const QProcessEnvironment environment = environmentIn(zone);
    program.setProcessEnvironment(environment);
    program.start(ENVMETER, arguments);
    if (!program.waitForFinished(30000) || program.exitStatus() != QProcess::NormalExit)
        return {-1, program.readAllStandardError()};
    const int code = program.exitCode();
    return {code, code == 0 ? program.readAllStandardOutput() : program.readAllStandardError()};
}

/// A log of the records at `path`.
bool writeLog(const QString &path, const std::vector<LogRecord> &records) {
    logbook::Connection db;
    if (!db.open(createdLog(path)) || !db.execute("BEGIN"))
        return false;
    for (const LogRecord &r : records)
        if (!db.insert(logbook::insertStatement(r.no, r.function, r.data, r.unit, r.time)))
            return false;
    return db.execute("COMMIT");
}

std::pair<int, QString> statistics(const QStringList &arguments, const QString &zone = {}) {
    return envmeter(QStringList{"--statistics"} + arguments, zone);
}

/// Whether two arrays of groups say the same, numbers to within their rounding.
bool sameGroups(const QJsonArray &mine, const QJsonArray &theirs) {
    if (mine.size() != theirs.size()) {
        qWarning() << "groups:" << mine.size() << theirs.size();
        return false;
    }
    for (qsizetype g = 0; g < mine.size(); ++g) {
        const QJsonObject a = mine[g].toObject();
        const QJsonObject b = theirs[g].toObject();
        if (a.keys() != b.keys()) {
            qWarning() << a.keys() << b.keys();
            return false;
        }
        for (const QString &key : a.keys())
            if (a[key].isDouble() ? qAbs(a[key].toDouble() - b[key].toDouble()) >=
                                        1e-9 * (1 + qAbs(b[key].toDouble()))
                                  : a[key] != b[key]) {
                qWarning() << a["function"] << key << a[key] << b[key];
                return false;
            }
    }
    return true;
}

/// envmeter's JSON and the independent computation's, for the same arguments.
std::pair<QJsonObject, QJsonObject> bothAnswers(const QStringList &arguments,
                                                const QString &zone = {}) {
    const auto [code, json] = statistics(arguments + QStringList{"--json"}, zone);
    QProcess check;
    check.setProcessEnvironment(environmentIn(zone));
    check.start("python3", QStringList{STATISTICS_CHECK} + arguments);
    check.waitForFinished(60000);
    return {code == 0 ? QJsonDocument::fromJson(json.toUtf8()).object() : QJsonObject{},
            QJsonDocument::fromJson(check.readAll()).object()};
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
        const QString log = m_dir.filePath("mixed.mdb");
        QVERIFY(writeLog(log, records));

        for (const QStringList &span :
             {QStringList{"--hi", "85", "--low", "40", "--hi", "temp=20", "--low", "SOUND=60",
                          "--for", "2", "--hysteresis", "1.5"},
              QStringList{"--from", "2026-12-04T08:05:00", "--to", "2026-12-04T08:30:00"}}) {
            const auto [mine, theirs] = bothAnswers(QStringList{log} + span);
            QCOMPARE(mine["left_out"], theirs["left_out"]);
            QVERIFY(mine["groups"].toArray().size() >= 4);
            QVERIFY(sameGroups(mine["groups"].toArray(), theirs["groups"].toArray()));
        }
    }

    // A data folder's kept backups and live log as one series in the order the readings were
    // taken, a run going on across each record limit, hour by hour and day by day; the other
    // files beside them no part of it, one that is no log named and left out; a backup changed
    // after it was read is read again; nothing is written beside the logs.
    void answersAHistoryAcrossRecordLimits() {
        const QString folder = m_dir.filePath("history");
        QDir().mkpath(folder);
        QRandomGenerator random(11);
        QDateTime at(QDate(2026, 12, 4), QTime(22, 30));
        std::map<QString, std::vector<LogRecord>> written;
        const auto log = [&](const QString &name, int sparse, int dense) {
            std::vector<LogRecord> records;
            for (int i = 0; i < sparse; ++i) {
                const bool temp = i % 7 == 0;
                append(records, temp ? "Temp" : "Sound",
                       temp ? QString::number(15 + random.bounded(100) / 10.0, 'f', 1)
                            : QString::number(40 + random.bounded(600) / 10.0, 'f', 1),
                       temp ? "C" : "dB", 1, at, 30);
            }
            for (int i = 0; i < dense; ++i)
                append(records, "Sound", QString::number(70 + random.bounded(300) / 10.0, 'f', 1),
                       "dB", 1, at);
            QVERIFY(writeLog(QDir(folder).filePath(name), records));
            written[name] = records;
        };
        // Named against the order they were taken in; the first ends in a run the second goes
        // on with.
        log("maxdb1.mdb", 1380, 100);
        log("maxdb1-2026-12-05-200000.mdb", 1300, 100);
        log("db1.mdb", 700, 0);
        for (const char *other : {"db2.mdb", "sosdb1.mdb", "saved.710"})
            QVERIFY(QFile::copy(QDir(folder).filePath("db1.mdb"), QDir(folder).filePath(other)));
        QVERIFY(writeFile(QDir(folder).filePath("maxdb1-2026-12-01-000000.mdb"), "no log"));
        // The files and their times, but for the backup the test changes itself (and its
        // journal, which sqlite3 removes).
        const auto listing = [&folder] {
            QStringList files;
            for (const QFileInfo &f : QDir(folder).entryInfoList(QDir::Files | QDir::Hidden))
                if (f.fileName() != "maxdb1.mdb-journal")
                    files.append(f.fileName() == "maxdb1.mdb"
                                     ? f.fileName()
                                     : f.fileName() + ' ' + QString::number(f.size()) + ' ' +
                                           f.lastModified().toString(Qt::ISODateWithMs));
            return files;
        };
        const QStringList before = listing();
        // What the program that logged the backups kept of them: the entries it logged, taken
        // only where the backup holds as many records and ends as they do (not so a log
        // loaded in between).
        const QString cache = qEnvironmentVariable("XDG_CACHE_HOME") + "/envmeter";
        stats::keepInCache(QDir(folder).filePath("maxdb1.mdb"), cache,
                           stats::compactLog(written["maxdb1.mdb"]));
        std::vector<LogRecord> loaded = written["maxdb1-2026-12-05-200000.mdb"];
        loaded.back().time = loaded.front().time;
        stats::keepInCache(QDir(folder).filePath("maxdb1-2026-12-05-200000.mdb"), cache,
                           stats::compactLog(loaded));

        // With a limit, from the readings; without, from the minutes they were summarised by,
        // for a span of whole minutes that cuts the run going on across the record limit, and
        // for one whose ends fall inside minutes (one of them inside that run).
        for (const QStringList &query :
             {QStringList{"1h", "--hi", "sound=85"},
              {"1d"},
              {"15m", "--from", "2026-12-05T10:01:00", "--to", "2026-12-05T16:59:59"},
              {"1h", "--from", "2026-12-05T10:00:30", "--to", "2026-12-05T15:00:15"}}) {
            const auto [mine, theirs] = bothAnswers(QStringList{folder, "--interval"} + query);
            QCOMPARE(mine["files"].toArray().size(), 3);
            QVERIFY(mine["files"][0].toString().endsWith("/maxdb1.mdb"));
            QVERIFY(mine["unread"][0]["file"].toString().endsWith("maxdb1-2026-12-01-000000.mdb"));
            QVERIFY(sameGroups(mine["groups"].toArray(), theirs["groups"].toArray()));
            const QJsonArray intervals = mine["intervals"].toArray();
            QCOMPARE(intervals.size(), theirs["intervals"].toArray().size());
            for (qsizetype i = 0; i < intervals.size(); ++i) {
                QCOMPARE(intervals[i]["start"], theirs["intervals"][i]["start"]);
                QVERIFY(sameGroups(intervals[i]["groups"].toArray(),
                                   theirs["intervals"][i]["groups"].toArray()));
            }
            if (query[0] == "1d")
                QVERIFY(intervals[1]["groups"][0]["lden"].isDouble());
            // Read again from the file, not from what was kept of it before.
            sqlite3(QDir(folder).filePath("maxdb1.mdb"),
                    "UPDATE b1 SET CCC = '129.9' WHERE AAA = 7");
        }
        QCOMPARE(listing(), before);
        // What was kept of the backups, damaged (at its end, in the outline that would pass it
        // by) or of an older format, is not trusted: the logs are read again, and kept anew.
        QDir(cache).removeRecursively();
        QCOMPARE(statistics({folder}).first, 0);
        const QFileInfoList keptFiles = QDir(cache).entryInfoList(QDir::Files);
        QCOMPARE(keptFiles.size(), 2);
        const auto rewrite = [&keptFiles](const std::function<void(QByteArray &)> &change) {
            for (const QFileInfo &file : keptFiles) {
                QByteArray bytes = bytesOf(file.filePath());
                change(bytes);
                QVERIFY(writeFile(file.filePath(), bytes));
            }
        };
        const auto answeredFromTheLogs = [&folder] {
            const auto [again, expected] =
                bothAnswers({folder, "--interval", "1h", "--from", "2026-12-05T11:00:00"});
            QVERIFY(sameGroups(again["groups"].toArray(), expected["groups"].toArray()));
        };
        rewrite([](QByteArray &bytes) { bytes.replace(bytes.size() - 8, 8, QByteArray(8, 0)); });
        answeredFromTheLogs();
        rewrite(
            [](QByteArray &bytes) { bytes.replace("envmeter figures ", "envmeter figures 1"); });
        answeredFromTheLogs();
        QVERIFY(!bytesOf(keptFiles[0].filePath()).contains("envmeter figures 1"));
        // The outline's latest instant (the last 8 bytes before its check) put at 1970: past
        // the magic, the file's size and time, and its header, each byte array after its size.
        rewrite([](QByteArray &bytes) {
            const auto after = [&bytes](qint64 at) {
                return at + 4 + qFromBigEndian<quint32>(bytes.constData() + at);
            };
            const qint64 head = after(after(0) + 16);
            bytes.replace(after(head) - 8, 8, QByteArray(8, 0));
        });
        answeredFromTheLogs();

        // Two folders are two series, each group saying whose it is.
        const QString other = m_dir.filePath("other");
        QDir().mkpath(other);
        QVERIFY(QFile::copy(QDir(folder).filePath("db1.mdb"), QDir(other).filePath("db1.mdb")));
        const QJsonObject alone =
            QJsonDocument::fromJson(statistics({other, "--json"}).second.toUtf8()).object();
        const auto [code, both] = statistics({folder, other, "--json"});
        QCOMPARE(code, 0);
        const QJsonArray groups = QJsonDocument::fromJson(both.toUtf8())["groups"].toArray();
        QJsonArray others;
        for (const QJsonValue &g : groups) {
            QVERIFY(g["folder"] == folder || g["folder"] == other);
            if (g["folder"] == other)
                others.append(g["readings"]);
        }
        QCOMPARE(others.size(), alone["groups"].toArray().size());
        QCOMPARE(others[0], alone["groups"][0]["readings"]);
        // What was kept went to the user's cache; reading stops when asked to.
        QVERIFY(!QDir(qEnvironmentVariable("XDG_CACHE_HOME") + "/envmeter").isEmpty());
        QVERIFY(stats::historyFigures({folder}, {}, 0, m_dir.filePath("cache"), [](int, int) {
                    return false;
                }).cancelled);
    }

    // The days the clock changes, in Europe and in America: the hour lived twice two hours with
    // levels of their own, a day of 25 hours and one of 23, each interval's instant given, one
    // run across each change and across a record limit inside the hour lived twice; a log
    // carried to another zone read in its own with --tz; a bound with an offset.
    void answersTheDaysTheClockChanges_data() {
        QTest::addColumn<QString>("zone");
        QTest::addColumn<QDate>("autumn");
        QTest::addColumn<QDate>("spring");
        QTest::newRow("Berlin") << "Europe/Berlin" << QDate(2026, 10, 25) << QDate(2026, 3, 29);
        QTest::newRow("New York") << "America/New_York" << QDate(2026, 11, 1) << QDate(2026, 3, 8);
    }
    void answersTheDaysTheClockChanges() {
        QFETCH(QString, zone);
        QFETCH(QDate, autumn);
        QFETCH(QDate, spring);
        const QTimeZone lived(zone.toUtf8());
        QString autumnFolder;
        qint64 change = 0;
        for (const QDate &date : {spring, autumn}) {
            const QString folder =
                m_dir.filePath(QString(zone).replace(u'/', u'-') + date.toString(Qt::ISODate));
            QDir().mkpath(folder);
            // A reading every 10 s all day: 60 dB, but 70 in the first pass of the hour lived
            // twice and 50 in the second; the record limit 20 minutes into the second.
            const qint64 from = QDateTime(date, QTime(0, 0), lived).toSecsSinceEpoch();
            const qint64 to = QDateTime(date.addDays(1), QTime(0, 0), lived).toSecsSinceEpoch();
            change = lived.nextTransition(QDateTime::fromSecsSinceEpoch(from, Qt::UTC))
                         .atUtc.toSecsSinceEpoch();
            std::vector<LogRecord> records;
            for (qint64 t = from; t < to; t += 10) {
                if (date == autumn && t == change + 1200) {
                    QVERIFY(writeLog(QDir(folder).filePath("maxdb1.mdb"), records));
                    records.clear();
                }
                const char *level = date != autumn || t < change - 3600 || t >= change + 3600 ? "60"
                                    : t < change                                              ? "70"
                                                 : "50";
                records.push_back({qint32(records.size()), "Sound", level, "dB",
                                   core::timeStamp(QDateTime::fromSecsSinceEpoch(t, lived))});
            }
            QVERIFY(writeLog(QDir(folder).filePath("db1.mdb"), records));
            const int hours = int((to - from) / 3600);
            QCOMPARE(hours, date == autumn ? 25 : 23);

            for (const QString interval : {"1h", "1d"}) {
                const auto [mine, theirs] = bothAnswers({folder, "--interval", interval}, zone);
                const QJsonArray intervals = mine["intervals"].toArray();
                QCOMPARE(intervals.size(), interval == "1h" ? hours : 1);
                QCOMPARE(intervals.size(), theirs["intervals"].toArray().size());
                for (qsizetype i = 0; i < intervals.size(); ++i) {
                    QCOMPARE(intervals[i]["start"], theirs["intervals"][i]["start"]);
                    QCOMPARE(intervals[i]["end"], theirs["intervals"][i]["end"]);
                    QVERIFY(sameGroups(intervals[i]["groups"].toArray(),
                                       theirs["intervals"][i]["groups"].toArray()));
                }
                const QJsonObject sound = mine["groups"][0].toObject();
                QCOMPARE(sound["seconds"].toDouble(), hours * 3600.0 - 9);
                if (interval == "1d")
                    QVERIFY(intervals[0]["groups"][0]["lden"].isDouble());
                if (interval == "1h" && date == autumn) {
                    // The hour lived twice: its two passes each as it sounded.
                    const QString twice =
                        core::isoTimeWithOffset(core::ZoneClock(lived).at(change)).mid(11, 8);
                    QStringList passes;
                    for (const QJsonValue &i : intervals)
                        if (i["start"].toString().mid(11, 8) == twice)
                            passes.append(i["start"].toString().mid(19) + u' ' +
                                          QString::number(i["groups"][0]["leq"].toDouble()));
                    QCOMPARE(passes.size(), 2);
                    QVERIFY(passes[0].endsWith(" 70") && passes[1].endsWith(" 50"));
                    QVERIFY(passes[0].left(6) != passes[1].left(6));
                }
            }
            if (date == autumn)
                autumnFolder = folder;
        }
        // Read on a machine in UTC, in the zone the log was written in.
        const QStringList hourly{autumnFolder, "--interval", "1h", "--json"};
        QCOMPARE(statistics(hourly + QStringList{"--tz", zone}, "UTC"), statistics(hourly, zone));
        // The chart from the command line, with no display: a picture wide enough for a day of
        // hours, a PDF whose texts are text.
        const QString png = m_dir.filePath(QString(zone).replace(u'/', u'-') + ".png");
        const QString pdf = m_dir.filePath(QString(zone).replace(u'/', u'-') + ".pdf");
        QCOMPARE(statistics({autumnFolder, "--interval", "1h", "--chart", png}, zone).first, 0);
        QVERIFY(QImage(png).width() >= 1200 && QImage(png).height() >= 150);
        QCOMPARE(statistics(
                     {autumnFolder, "--interval", "1h", "--chart", pdf, "--size", "2600x400"}, zone)
                     .first,
                 0);
        QProcess text;
        text.start("pdftotext", {pdf, "-"});
        QVERIFY(text.waitForFinished(10000));
        const QString said = text.readAllStandardOutput();
        QVERIFY2(
            said.contains("Sound dB: Leq, Lmax and Lmin per interval") &&
                said.contains(core::isoTimeWithOffset(core::ZoneClock(lived).at(change)).right(6)),
            qPrintable(said));

        // The report of the span, its text text: the figures, the intervals with their
        // offsets, the events of a limit, numbered pages.
        const QString report = m_dir.filePath(QString(zone).replace(u'/', u'-') + "-report.pdf");
        QCOMPARE(statistics({autumnFolder, "--interval", "1h", "--hi", "sound=65", "--events",
                             "--report", report},
                            zone)
                     .first,
                 0);
        text.start("pdftotext", {report, "-"});
        QVERIFY(text.waitForFinished(10000));
        const QString reported = text.readAllStandardOutput();
        for (const QString &expected :
             {QStringLiteral("Statistics"), QStringLiteral("Events at or above HI"),
              QStringLiteral("Intervals"), QStringLiteral("Page 1"),
              core::isoTimeWithOffset(core::ZoneClock(lived).at(change)),
              QStringLiteral("sound_above 65 dB: ")})
            QVERIFY2(reported.contains(expected), qPrintable(expected));

        // From the second pass of the hour lived twice on, as its offset says.
        const QString secondPass = core::isoTimeWithOffset(core::ZoneClock(lived).at(change));
        const auto [mine, theirs] = bothAnswers({autumnFolder, "--from", secondPass}, zone);
        QCOMPARE(mine["groups"][0]["first"].toString(), secondPass);
        QVERIFY(sameGroups(mine["groups"].toArray(), theirs["groups"].toArray()));
    }

    // Backups older than the days kept are retired, their minute summaries kept beside the logs
    // first; nothing but the program's own old backups is removed. The history answers for
    // whole minutes as it did from the logs; its events there are found to the minute, and the
    // answer says which logs it took from summaries.
    void retiresOnlyOldBackupsAndStillAnswers() {
        const QString folder = m_dir.filePath("retiring");
        QDir().mkpath(folder);
        QRandomGenerator random(5);
        // Sound of a room, loud for three minutes now and then, with overloads; then a while of
        // temperatures; a reading every 2 s, now and then 40 s apart.
        const auto log = [&](const QString &name, const QDate &day) {
            std::vector<LogRecord> records;
            QDateTime at(day, QTime(10, 0, 13));
            for (int i = 0; i < 3000; ++i) {
                const bool temp = i >= 2700;
                const bool loud = i % 400 >= 300 && i % 400 < 390;
                const double level = temp   ? 20 + random.bounded(40) / 10.0
                                     : loud ? 94 + random.bounded(20) / 10.0
                                            : 67 + random.bounded(60) / 10.0;
                append(records, temp ? "Temp" : "Sound",
                       loud && random.bounded(30) == 0 ? "O.L" : QString::number(level, 'f', 1),
                       temp ? "C" : "dB", 1, at, i % 500 == 0 ? 40 : 2);
            }
            QVERIFY(writeLog(QDir(folder).filePath(name), records));
        };
        log("maxdb1-2026-11-01-114000.mdb", QDate(2026, 11, 1));
        log("maxdb1-2026-11-02-114000.mdb", QDate(2026, 11, 2));
        log("maxdb1-2026-12-03-114000.mdb", QDate(2026, 12, 3));
        log("maxdb1.mdb", QDate(2026, 12, 4));
        log("db1.mdb", QDate(2026, 12, 5));
        // Old, but the standby log, saved logs, a backup named by someone else, and a file that
        // is no log.
        for (const char *other : {"db2.mdb", "saved.710", "maxdb1-old.mdb"})
            QVERIFY(QFile::copy(QDir(folder).filePath("maxdb1-2026-11-01-114000.mdb"),
                                QDir(folder).filePath(other)));
        QVERIFY(writeFile(QDir(folder).filePath("maxdb1-2026-11-05-120000.mdb"), "no log"));
        const QStringList hourly{folder, "--interval", "1h", "--json"};
        const QStringList events{folder, "--hi", "sound=90", "--for", "30", "--events", "--json"};
        const QJsonObject before =
            QJsonDocument::fromJson(statistics(hourly).second.toUtf8()).object();
        const QJsonObject eventsBefore =
            QJsonDocument::fromJson(statistics(events).second.toUtf8()).object();
        const QStringList recent{folder, "--from", "2026-12-01", "--json"};
        const QJsonObject recentBefore =
            QJsonDocument::fromJson(statistics(recent).second.toUtf8()).object();
        // The files but SQLite's journals.
        const auto files = [&folder] {
            return QDir(folder).entryList(QDir::Files).filter(QRegularExpression("(?<!-journal)$"));
        };
        const QStringList all = files();

        const qint64 now = QDateTime(QDate(2026, 12, 6), QTime(0, 0)).toSecsSinceEpoch();
        const QStringList said =
            session::retireOldBackups(folder, 30, now, m_dir.filePath("retiring-cache"));
        QCOMPARE(said.size(), 3);
        QVERIFY2(said[0].contains("maxdb1-2026-11-01-114000.mdb: its last reading, "
                                  "2026-11-01T") &&
                     said[0].contains("more than 30 days old") &&
                     said[0].contains(logbook::kSummaryStoreFile),
                 qPrintable(said[0]));
        QVERIFY(said[2].contains("maxdb1-2026-11-05-120000.mdb is kept: it cannot be read"));
        QStringList left = all;
        left.removeOne("maxdb1-2026-11-01-114000.mdb");
        left.removeOne("maxdb1-2026-11-02-114000.mdb");
        left.append(logbook::kSummaryStoreFile);
        left.sort();
        QCOMPARE(files(), left);
        // Retired once: nothing more to retire.
        QCOMPARE(session::retireOldBackups(folder, 30, now, {}).size(), 1);

        const QJsonObject after =
            QJsonDocument::fromJson(statistics(hourly).second.toUtf8()).object();
        QCOMPARE(after["from_summaries"].toArray().size(), 2);
        QVERIFY(after["from_summaries"][0]["first"].toString().startsWith("2026-11-01T10:00:13"));
        QVERIFY(sameGroups(after["groups"].toArray(), before["groups"].toArray()));
        QCOMPARE(after["intervals"].toArray().size(), before["intervals"].toArray().size());
        for (qsizetype i = 0; i < before["intervals"].toArray().size(); ++i)
            QVERIFY(sameGroups(after["intervals"][i]["groups"].toArray(),
                               before["intervals"][i]["groups"].toArray()));
        const QJsonObject eventsAfter =
            QJsonDocument::fromJson(statistics(events).second.toUtf8()).object();
        QCOMPARE(eventsAfter["groups"][0]["above_hi_seconds"],
                 eventsBefore["groups"][0]["above_hi_seconds"]);
        // Each loud while one event as it was; where its log was retired, to the minute (and
        // the 40 s to the next reading after a pause).
        const QJsonArray found = eventsAfter["events"].toArray();
        const QJsonArray fine = eventsBefore["events"].toArray();
        QCOMPARE(found.size(), fine.size());
        const auto instant = [](const QJsonValue &time) {
            return QDateTime::fromString(time.toString(), Qt::ISODate).toSecsSinceEpoch();
        };
        int summarised = 0;
        int retiredBefore = 0;
        for (qsizetype e = 0; e < found.size(); ++e) {
            retiredBefore += fine[e]["start"].toString() < "2026-11-03";
            const qint64 off = qMax(qAbs(instant(found[e]["start"]) - instant(fine[e]["start"])),
                                    qAbs(instant(found[e]["end"]) - instant(fine[e]["end"])));
            QCOMPARE(found[e]["peak"], fine[e]["peak"]);
            QVERIFY2(found[e]["from_summaries"].toBool() ? off < 100 : off == 0,
                     qPrintable(QJsonDocument(QJsonArray{found[e], fine[e]}).toJson()));
            summarised += found[e]["from_summaries"].toBool();
        }
        QCOMPARE(summarised, retiredBefore);
        QVERIFY(summarised > 0 && summarised < found.size());
        QVERIFY(statistics({folder}).second.contains("From the minute summaries of the retired"));
        // A span after the retired logs takes nothing from their summaries.
        const QJsonObject recentAfter =
            QJsonDocument::fromJson(statistics(recent).second.toUtf8()).object();
        QCOMPARE(recentAfter["groups"], recentBefore["groups"]);
        QCOMPARE(recentAfter["from_summaries"].toArray().size(), 0);
    }

    // Answered on the terminal with no display: the help, the version and every mistake, each
    // mistake in one line with exit 2.
    void answersOnTheTerminal_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("told");
        const QStringList log{"--statistics", "x"};
        QTest::newRow("help") << QStringList{"--help"} << 0 << "--interval <length>";
        QTest::newRow("version") << QStringList{"--version"} << 0 << "envmeter 1.";
        QTest::newRow("unknown option") << QStringList{"--colour"} << 2 << "'colour'";
        QTest::newRow("stray argument") << QStringList{"db1.mdb"} << 2 << "db1.mdb";
        QTest::newRow("no such file")
            << QStringList{"--statistics", "/no/such.mdb"} << 2 << "/no/such.mdb does not exist";
        QTest::newRow("no log") << QStringList{"--statistics", STATISTICS_CHECK} << 2
                                << "cannot be read as a log";
        QTest::newRow("bad interval")
            << log + QStringList{"--interval", "2h"} << 2 << "--interval takes 1m, 15m, 1h or 1d";
        QTest::newRow("bad time") << log + QStringList{"--from", "2026-12-04 8:00"} << 2
                                  << "--from needs a time";
        // Opening a pipe as a log would wait for ever.
        const QString pipe = m_dir.filePath("pipe.mdb");
        QCOMPARE(mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
        QTest::newRow("a pipe") << QStringList{"--statistics", pipe} << 2
                                << "pipe.mdb is neither a log file nor a folder";
        const QString empty = m_dir.filePath("empty");
        QDir().mkpath(empty);
        QTest::newRow("an empty folder")
            << QStringList{"--statistics", empty} << 2 << "empty holds no log";
        QTest::newRow("no such meter") << QStringList{"--statistics", "--meter", "nobody"} << 2
                                       << "--meter nobody: no meter nobody is known here";
        QTest::newRow("no such zone") << log + QStringList{"--tz", "Europe/Berln"} << 2
                                      << "--tz Europe/Berln: no such time zone here";
        QTest::newRow("from after to")
            << log + QStringList{"--to", "2026-12-04T08:00:00", "--from", "2026-12-04T09:00:00"}
            << 2 << "is after --to";
        QTest::newRow("a chart of no intervals")
            << log + QStringList{"--chart", "x.png"} << 2 << "--chart draws the intervals";
        QTest::newRow("bad duration")
            << log + QStringList{"--for", "soon"} << 2 << "--for takes seconds";
        QTest::newRow("bad number")
            << log + QStringList{"--hi", "loud"} << 2 << "--hi needs a number";
        QTest::newRow("no such function")
            << log + QStringList{"--low", "noise=40"} << 2 << "not \"noise=40\"";
        QTest::newRow("a limit twice") << log + QStringList{"--hi", "temp=3", "--hi", "Temp=4"} << 2
                                       << "--hi gives temp twice";
        QTest::newRow("limit alone") << QStringList{"--hi", "85"} << 2 << "with --statistics";
        QTest::newRow("meter name") << QStringList{"--meter", "lab 2"} << 2
                                    << "--meter lab 2: a meter's name is of letters";
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
