// The cost of a reading beside a floor logger, in one run: the simulated meter feeds a
// pseudo-terminal at the line rate and at 50 and 100 times it, into the program (its window
// shown offscreen, accessibility on as with a screen reader), into envmeter-logger as users run
// it (at the line rate only: faster, it would meet its record limit), once more publishing to a
// Mosquitto broker on 127.0.0.1, once more watching eight alarms and the silent meter, and into
// a floor logger (Qt
// SerialPort plus SQLite open/INSERT/close per event, no window), each on an empty log and on
// one of 99,000 records. Prints the CPU each takes at the line rate, their resident memory,
// and the share of the line's events each logs at the higher rates. Then the slow disk: the
// share of the events each logs at the line rate when every sync of the disk comes 0, 25, 50
// or 100 ms late (tools/slow-sync preloaded into all).
//
// Each figure is the median of three runs, program and floor taking turns, as the disk's syncs
// make single runs vary. Usage:
//   receive_cost [seconds at the line rate (30)] [seconds at the higher rates (10)]
//                [seconds on the slow disk (15)]
// The program and the floor run as child processes of this program:
//   receive_cost --program|--floor DIR

#include "app/envmeter/program.h"
#include "core/clock.h"
#include "filled_log.h"
#include "meter/frame_decoder.h"
#include "meter/meter_frame.h"
#include "mqtt_broker.h"
#include "recording_message_boxes.h"
#include "resident_memory.h"
#include "scenario_player.h"
#include "serial_output.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QSerialPort>
#include <QSocketNotifier>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <QtGui/private/qguiapplication_p.h>
#include <qpa/qplatformaccessibility.h>
#include <qpa/qplatformintegration.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <memory>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr double kFramesPerSecondAtLineRate = 2400.0 / 10 / 14;
constexpr int kEventBytes = 28;

/// The settings that turn publishing on, for the publishing logger; those of eight alarms.
QString g_publishingConfig;
QString g_alarmsConfig;

/// Seconds of the processor in the program's own code and in the system's for it.
std::pair<double, double> cpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return {double(usage.ru_utime.tv_sec) + double(usage.ru_utime.tv_usec) / 1e6,
            double(usage.ru_stime.tv_sec) + double(usage.ru_stime.tv_usec) / 1e6};
}

qint64 recordsIn(const QString &log) {
    qint64 records = -1;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("n"));
        db.setDatabaseName(log);
        QSqlQuery count(db);
        if (db.open() && count.exec(QStringLiteral("SELECT count(*) FROM b1")) && count.next())
            records = count.value(0).toLongLong();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("n"));
    return records;
}

/// The subject's part once it listens: says "ready", measures until a line comes on standard
/// input, then prints "<user seconds> <system seconds> <wall seconds> <resident MB>".
void measureUntilStopped(QCoreApplication &app) {
    std::printf("ready\n");
    std::fflush(stdout);
    const auto [userStart, systemStart] = cpuSeconds();
    QElapsedTimer wall;
    wall.start();
    QSocketNotifier stop(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&stop, &QSocketNotifier::activated, &app, [&] {
        const auto [user, system] = cpuSeconds();
        std::printf("%.4f %.4f %.4f %.1f\n", user - userStart, system - systemStart,
                    wall.elapsed() / 1000.0, residentMegabytes());
        std::fflush(stdout);
        app.quit();
    });
    app.exec();
}

int runProgram(int argc, char **argv, const QString &dir) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // As when a screen reader runs: Qt then tells assistive technology of every change.
    QGuiApplicationPrivate::platformIntegration()->accessibility()->setActive(true);
    const core::SystemClock clock;
    core::RecordingMessageBoxes messages;
    app::Program program(dir, clock, &messages);
    program.start();
    if (!QTest::qWaitForWindowExposed(&program.mainWindow()))
        return 1;
    emit program.mainWindow().toolbarButtonClicked(window::toolbar::kCommPort);
    emit program.mainWindow().toolbarButtonClicked(window::toolbar::kOffLineOnLine);
    // Numbered from 0 once the line is on (taking the log counts its records), a full log keeps
    // its size without the record limit's backup: the measurement is of readings, not of
    // backups.
    program.session().restartNumberingAt(0);
    measureUntilStopped(app);
    return 0;
}

/// User and system seconds the process `pid` has taken so far.
std::pair<double, double> cpuSecondsOf(qint64 pid) {
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return {};
    // The fields after the command's name, which is in parentheses: utime and stime are the
    // 12th and 13th of them.
    const QByteArray line = stat.readAll();
    const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
    const double tick = double(sysconf(_SC_CLK_TCK));
    return {fields.value(11).toDouble() / tick, fields.value(12).toDouble() / tick};
}

/// The least a logger can do: each receive event's first frame as one record, written with a
/// connection of its own opened and closed for it.
int runFloor(int argc, char **argv, const QString &dir) {
    QCoreApplication app(argc, argv);
    const QString log = QDir(dir).filePath(QStringLiteral("db1.mdb"));
    QSerialPort port(qEnvironmentVariable("ENVMETER_COM1"));
    if (!port.open(QIODevice::ReadOnly) || !port.setBaudRate(2400))
        return 1;
    port.clear(QSerialPort::Input);
    qint32 no = 0;
    QObject::connect(&port, &QSerialPort::readyRead, &app, [&] {
        const qint64 waiting = port.bytesAvailable();
        if (waiting < kEventBytes)
            return;
        const QByteArray chunk = port.readAll();
        const std::optional<meter::MeterFrame> frame = meter::findFrame(chunk, waiting);
        if (!frame)
            return;
        const meter::Reading reading = meter::decodeFrame(*frame);
        {
            QSqlDatabase db =
                QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("floor"));
            db.setDatabaseName(log);
            if (db.open())
                QSqlQuery(db).exec(QStringLiteral("INSERT INTO b1 VALUES(%1,'%2','%3','%4','%5',0)")
                                       .arg(no++)
                                       .arg(reading.Function, reading.ValueText, reading.Unit,
                                            QDateTime::currentDateTime().toString(
                                                QStringLiteral("hh:mm:ss/MM-dd-yyyy"))));
            db.close();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("floor"));
    });
    measureUntilStopped(app);
    return 0;
}

struct Result {
    double userPercent = 0;
    double systemPercent = 0;
    double residentMB = 0;
    double loggedPercent = 0;
};

/// One run of one subject on a log of `records`, the meter's demo at `speed` for `seconds`, on
/// a disk whose syncs come `syncDelayMs` late.
Result run(const QString &subject, qint64 records, double speed, double seconds, int syncDelayMs) {
    QTemporaryDir dir;
    const QString log = filledLog(dir.path(), records);
    QString error;
    const std::unique_ptr<metersim::SerialOutput> line =
        metersim::SerialOutput::openPseudoTerminal(&error);
    if (!line)
        qFatal("no pseudo-terminal: %s", qPrintable(error));
    QProcess logger;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("ENVMETER_COM1"), line->portPath());
    // Publishing as its settings say; the plain logger has none.
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"),
                       subject == u"--publishing" ? g_publishingConfig
                       : subject == u"--alarms"   ? g_alarmsConfig
                                                  : dir.filePath("config"));
    if (syncDelayMs > 0) {
        environment.insert(QStringLiteral("LD_PRELOAD"), QStringLiteral(SLOW_SYNC));
        environment.insert(QStringLiteral("ENVMETER_SYNC_DELAY_MS"), QString::number(syncDelayMs));
    }
    logger.setProcessEnvironment(environment);
    const bool isLogger =
        subject == u"--logger" || subject == u"--publishing" || subject == u"--alarms";
    std::pair<double, double> cpuStart;
    QElapsedTimer sinceOpen;
    if (isLogger) {
        logger.setReadChannel(QProcess::StandardError);
        logger.start(QStringLiteral(ENVMETER_LOGGER), {QStringLiteral("--data"), dir.path()});
        while (logger.waitForReadyRead(60000) && !logger.readAll().contains("is open at")) {
        }
        if (logger.state() != QProcess::Running)
            qFatal("%s did not start", qPrintable(subject));
        cpuStart = cpuSecondsOf(logger.processId());
        sinceOpen.start();
    } else {
        logger.start(QCoreApplication::applicationFilePath(), {subject, dir.path()});
        if (!logger.waitForReadyRead(60000) || logger.readLine().trimmed() != "ready")
            qFatal("%s did not start", qPrintable(subject));
    }

    metersim::ScenarioPlayer demo;
    metersim::LinePacer pacer(speed);
    const volatile std::sig_atomic_t never = 0;
    const qint64 frames = qint64(kFramesPerSecondAtLineRate * speed * seconds);
    for (qint64 sent = 0; sent < frames; ++sent)
        line->write(*demo.next(), pacer, never);
    QThread::msleep(500); // what is on its way is taken
    QList<QByteArray> measured;
    if (isLogger) {
        const auto [user, system] = cpuSecondsOf(logger.processId());
        measured = {QByteArray::number(user - cpuStart.first),
                    QByteArray::number(system - cpuStart.second),
                    QByteArray::number(sinceOpen.elapsed() / 1000.0),
                    QByteArray::number(residentMegabytes(logger.processId()))};
        logger.terminate();
        logger.waitForFinished();
    } else {
        logger.write("stop\n");
        logger.waitForFinished();
        measured = logger.readAllStandardOutput().trimmed().split(' ');
    }
    const double wall = measured.value(2).toDouble();
    const double events = double(frames / 2); // an odd last frame makes no event
    return {100 * measured.value(0).toDouble() / wall, 100 * measured.value(1).toDouble() / wall,
            measured.value(3).toDouble(), 100 * double(recordsIn(log) - records) / events};
}

/// The median of three runs of each subject, taken in turns.
std::vector<Result> medians(const QStringList &subjects, qint64 records, double speed,
                            double seconds, int syncDelayMs = 0) {
    std::vector<std::vector<Result>> runs(subjects.size());
    for (int round = 0; round < 3; ++round)
        for (qsizetype i = 0; i < subjects.size(); ++i)
            runs[i].push_back(run(subjects[i], records, speed, seconds, syncDelayMs));
    std::vector<Result> middles;
    for (const std::vector<Result> &results : runs) {
        const auto middle = [&](double Result::*field) {
            std::vector<double> values;
            for (const Result &r : results)
                values.push_back(r.*field);
            std::nth_element(values.begin(), values.begin() + 1, values.end());
            return values[1];
        };
        middles.push_back(Result{middle(&Result::userPercent), middle(&Result::systemPercent),
                                 middle(&Result::residentMB), middle(&Result::loggedPercent)});
    }
    return middles;
}

} // namespace

int main(int argc, char **argv) {
    if (argc == 3) {
        const QString dir = QString::fromLocal8Bit(argv[2]);
        if (qstrcmp(argv[1], "--program") == 0)
            return runProgram(argc, argv, dir);
        if (qstrcmp(argv[1], "--floor") == 0)
            return runFloor(argc, argv, dir);
    }
    QCoreApplication app(argc, argv);
    const double lineSeconds = argc > 1 ? std::atof(argv[1]) : 30;
    const double fastSeconds = argc > 2 ? std::atof(argv[2]) : 10;
    const double slowDiskSeconds = argc > 3 ? std::atof(argv[3]) : 15;
    QTemporaryDir brokerFolder;
    const MqttBroker broker(brokerFolder.path());
    g_publishingConfig = brokerFolder.filePath(QStringLiteral("config"));
    QDir().mkpath(g_publishingConfig + QStringLiteral("/envmeter"));
    writeFile(g_publishingConfig + QStringLiteral("/envmeter/envmeter.conf"),
              QStringLiteral("[mqtt]\nenabled=true\nhost=127.0.0.1\nport=%1\n")
                  .arg(broker.port())
                  .toUtf8());
    g_alarmsConfig = brokerFolder.filePath(QStringLiteral("alarms"));
    QDir().mkpath(g_alarmsConfig + QStringLiteral("/envmeter"));
    writeFile(g_alarmsConfig + QStringLiteral("/envmeter/envmeter.conf"),
              "[alarm]\nsound_above=85\nsound_below=30\nsound_for=5\nsound_hysteresis=3\n"
              "humidity_above=80\nhumidity_below=20\ntemperature_above=8\ntemperature_below=2\n"
              "temperature_for=15m\nlight_above=2000\nlight_below=10\nsilent_for=1m\n");
    const QStringList all{QStringLiteral("--program"), QStringLiteral("--logger"),
                          QStringLiteral("--publishing"), QStringLiteral("--floor"),
                          QStringLiteral("--alarms")};
    std::printf("%-50s %20s %20s %20s %20s %20s\n", "", "program", "logger", "logger+MQTT", "floor",
                "logger+alarms");
    for (const qint64 records : {0, 99000}) {
        const std::vector<Result> line = medians(all, records, 1, lineSeconds);
        std::printf(
            "%-50s",
            qPrintable(
                QStringLiteral("CPU at the line rate (user+system), %1 records").arg(records)));
        for (const Result &r : line)
            std::printf(" %6.2f%% (%4.2f+%4.2f)", r.userPercent + r.systemPercent, r.userPercent,
                        r.systemPercent);
        std::printf("\n%-50s",
                    qPrintable(QStringLiteral("resident memory, %1 records").arg(records)));
        for (const Result &r : line)
            std::printf(" %17.1f MB", r.residentMB);
        std::printf("\n");
        for (const double speed : {50.0, 100.0}) {
            const std::vector<Result> fast = medians({all[0], all[3]}, records, speed, fastSeconds);
            std::printf(
                "%-50s %19.1f%% %20s %20s %19.1f%%\n",
                qPrintable(
                    QStringLiteral("events logged at %1x, %2 records").arg(speed).arg(records)),
                fast[0].loggedPercent, "", "", fast[1].loggedPercent);
        }
        std::fflush(stdout);
    }
    for (const int delayMs : {0, 25, 50, 100}) {
        const std::vector<Result> slow = medians(all, 0, 1, slowDiskSeconds, delayMs);
        std::printf(
            "%-50s",
            qPrintable(
                QStringLiteral("events logged at the line rate, syncs %1 ms late").arg(delayMs)));
        for (const Result &r : slow)
            std::printf(" %19.1f%%", r.loggedPercent);
        std::printf("\n");
        std::fflush(stdout);
    }
    return 0;
}
