#include "../log/sqlite_cli.h"
#include "app/envmeter/program.h"
#include "core/clock.h"
#include "fake_serial_line.h"
#include "mqtt_broker.h"
#include "recording_message_boxes.h"
#include "scenario_script.h"
#include "test_files.h"
#include "window_handlers.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <QTest>

namespace {

/// envmeter-logger on a folder, reading the device `folder`/COM1 and saying each reading.
struct RunningLogger {
    explicit RunningLogger(const QString &folder, const QProcessEnvironment &environment =
                                                      QProcessEnvironment::systemEnvironment()) {
        process.setProcessEnvironment(environment);
        process.start(ENVMETER_LOGGER,
                      {"--device", folder + "/COM1", "--data", folder, "--verbose"});
        process.waitForStarted();
    }
    /// Everything it said so far.
    QString said() { return told += QString::fromUtf8(process.readAllStandardError()); }
    QProcess process;
    QString told;
};

/// The simulated meter playing `script` on `folder`/COM1 at the line's own rate.
struct Meter {
    Meter(const QString &folder, const QString &script, const QStringList &options = {}) {
        const QString file = folder + "/script.txt";
        writeFile(file, script.toUtf8());
        process.start(METER_SIM,
                      QStringList{"--link", folder + "/COM1", "--script", file} + options);
    }
    ~Meter() {
        process.kill();
        process.waitForFinished();
    }
    QProcess process;
};

/// Messages as "TIME TOPIC PAYLOAD", each once: one delivered again to the subscriber after the
/// broker's restart is the same message.
QStringList deliveredOnce(const QStringList &messages) {
    QStringList once;
    QStringList seen;
    for (const QString &message : messages)
        if (!seen.contains(message.section(u' ', 1))) {
            seen.append(message.section(u' ', 1));
            once.append(message);
        }
    return once;
}

/// Each record without its number (FFFF follows NO).
QStringList rows(const QString &log) {
    return sqlite3(log, "SELECT BBB, CCC, DDD, AAA + FFFF FROM b1 ORDER BY rowid").split('\n');
}

} // namespace

// The headless logger against the window: the same rows from the same meter, every reading
// taken on disk when it is stopped, and one program logging at a time.
class TestLogger : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString folder(const char *name) const {
        const QString path = m_dir.filePath(QString::fromLatin1(name));
        QDir().mkpath(path);
        return path;
    }

  private slots:
    // Readings of every function, unit and overload after a lead-in that the logger, started
    // before the meter's link exists, partly misses while it tries the port each second; then
    // a stream it is stopped in, on a disk whose every sync takes 100 ms.
    void logsTheWindowsRowsAndStopsWithNoneLost() {
        QString script = "50.0 dB *20\n";
        for (const char *reading :
             {"_23.5 C RS232", "75.0 F", "-12.5 C", "45.6 %RH", "88.8 dB X10", "O.L dB", "1234 LUX",
              "12.34 LUX", "O.L LUX", "0 LUX", "61.2 dB HOLD LOBAT", "101.5 F"})
            script += QString::fromLatin1(reading) + "\n";
        for (int n = 100; n < 400; ++n)
            script += QString::number(n) + " C\n";

        WindowHandlers window(folder("window"));
        createdLog(window.log.filePath(logbook::kLiveLogFile));
        window.startUp.load();
        window.startUp.activate();
        window.port.switchCommPort();
        window.port.toggleLine();
        for (const metersim::ScriptStep &step : metersim::parseScript(script).steps)
            for (int n = 0; n < step.repeat; ++n)
                window.line.deliver(step.bytes);
        QVERIFY(window.log.writeQueued());
        const QStringList windowRows = rows(window.log.filePath(logbook::kLiveLogFile));

        const QString here = folder("logger");
        QProcessEnvironment slowDisk = QProcessEnvironment::systemEnvironment();
        slowDisk.insert("LD_PRELOAD", SLOW_SYNC);
        slowDisk.insert("ENVMETER_SYNC_DELAY_MS", "100");
        slowDisk.insert("ASAN_OPTIONS",
                        slowDisk.value("ASAN_OPTIONS") + ":verify_asan_link_order=0");
        // Publishing to a broker, as the user's settings say.
        const MqttBroker broker(here);
        MqttSubscriber subscriber(broker.port(), "envmeter/#");
        QVERIFY(QDir().mkpath(here + "/config/envmeter"));
        QVERIFY(writeFile(here + "/config/envmeter/envmeter.conf",
                          QStringLiteral("[mqtt]\nenabled=true\nhost=127.0.0.1\nport=%1\n")
                              .arg(broker.port())
                              .toUtf8()));
        slowDisk.insert("XDG_CONFIG_HOME", here + "/config");
        RunningLogger logger(here, slowDisk);
        QTRY_VERIFY(logger.said().contains("Trying again every second"));
        const Meter meter(here, script);
        QTRY_VERIFY_WITH_TIMEOUT(logger.said().contains("Temp 150 C"), 30000);
        QFile maps(QStringLiteral("/proc/%1/maps").arg(logger.process.processId()));
        QVERIFY(maps.open(QIODevice::ReadOnly));
        const QByteArray mapped = maps.readAll();
        QVERIFY(!mapped.contains("libQt6Widgets") && !mapped.contains("libQt6Gui"));
        logger.process.terminate();
        QVERIFY(logger.process.waitForFinished(10000));
        QCOMPARE(logger.process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(logger.process.exitCode(), 0);

        const QString said = logger.said();
        QCOMPARE(said.count("cannot be opened"), 1);
        QCOMPARE(said.count("is open at 2400,n,8,1"), 1);
        QVERIFY(said.contains("Stopped; every reading taken is in"));
        const QString log = here + "/db1.mdb";
        const qsizetype taken = said.count("envmeter-logger: Record ");
        QCOMPARE(sqlite3(log, "SELECT count(*), min(AAA), max(AAA) FROM b1"),
                 QStringLiteral("%1|0|%2").arg(taken).arg(taken - 1));
        // Every record published, in order, by the time it stopped.
        QTRY_COMPARE(subscriber.messages().filter("\"record\": ").size(), taken);
        const QStringList published = subscriber.messages().filter("\"record\": ");
        for (qsizetype i = 0; i < taken; ++i)
            QVERIFY(published[i].contains(QStringLiteral("{\"record\": %1,").arg(i)));
        const QStringList loggerRows = rows(log);
        // The lead-in's 20 readings, of which the logger took some: then the same rows.
        const qsizetype leadIn = loggerRows.indexOf(windowRows.value(20));
        QVERIFY2(leadIn > 0, "the logger took readings of the lead-in");
        QCOMPARE(loggerRows, windowRows.mid(20 - leadIn, loggerRows.size()));
    }

    // Refused with one line: options it cannot follow, and a log that is no log. A second
    // logger, the window's line, Clear All and Data Save/Load are refused while a logger logs
    // (through its record limit); the lock of a killed logger is taken over, and the window
    // then counts on from the records that logger wrote.
    void oneProgramLogsAtATime() {
        const QString here = folder("lock");
        QProcess refused;
        for (const QStringList &arguments :
             {QStringList{"--port", "3"}, QStringList{"--data", here, "--bogus"},
              QStringList{"--data", here, "--device="}}) {
            refused.start(ENVMETER_LOGGER, arguments);
            QVERIFY(refused.waitForFinished());
            QCOMPARE(refused.exitCode(), 2);
            QCOMPARE(refused.readAllStandardError().count('\n'), 1);
        }
        QVERIFY(writeFile(here + "/db1.mdb", "no log at all"));
        refused.start(ENVMETER_LOGGER, {"--data", here});
        QVERIFY(refused.waitForFinished());
        QCOMPARE(refused.exitCode(), 2);
        QVERIFY(refused.readAllStandardError().startsWith(
            "envmeter-logger: " + QFile::encodeName(here) + "/db1.mdb"));
        // A refusal leaves the folder as it found it.
        QCOMPARE(QDir(here).entryList(QDir::Files | QDir::Hidden), QStringList{"db1.mdb"});
        QFile::remove(here + "/db1.mdb");
        fillLog(createdLog(here + "/db1.mdb"), 0, 99989);

        QString counting;
        for (int n = 100; n < 200; ++n)
            counting += QString::number(n) + " C\n";
        const Meter meter(here, counting);
        QProcessEnvironment ownCache = QProcessEnvironment::systemEnvironment();
        ownCache.insert("XDG_CACHE_HOME", here + "/cache");
        RunningLogger first(here, ownCache);
        // Through its record limit, the line put on again by itself, the backup read into the
        // statistics' cache at once.
        QTRY_VERIFY_WITH_TIMEOUT(first.said().contains("Record 4:"), 10000);
        QVERIFY(first.said().contains("Record is out of range,had auto backup to maxdb1.mdb"));
        QTRY_COMPARE(QDir(here + "/cache/envmeter").entryList(QDir::Files).size(), 1);
        QCOMPARE(first.said().count("is open at"), 2);
        QCOMPARE(sqlite3(here + "/maxdb1.mdb", "SELECT count(*) FROM b1"), "100000");
        refused.start(ENVMETER_LOGGER, {"--data", here});
        QVERIFY(refused.waitForFinished());
        QCOMPARE(refused.exitCode(), 2);
        const QString holder =
            QStringLiteral("envmeter-logger, process %1 on ").arg(first.process.processId());
        QVERIFY(QString::fromUtf8(refused.readAllStandardError()).contains(holder));

        const core::SystemClock clock;
        core::RecordingMessageBoxes messages;
        meter::FakeSerialLine line;
        app::Program window(here, clock, &messages, &line);
        window.start();
        window.toolbar().onToolbarButtonClick(window::toolbar::kCommPort);
        for (const QLatin1String key : {window::toolbar::kOffLineOnLine, window::toolbar::kClearAll,
                                        window::toolbar::kDataSaveLoad}) {
            messages.clear();
            window.toolbar().onToolbarButtonClick(key);
            QCOMPARE(messages.shown().size(), 1);
            QVERIFY(messages.shown().front().contains(holder));
            QVERIFY(messages.shown().front().contains("systemctl --user stop envmeter-logger"));
        }
        QCOMPARE(window.model().text(window::ControlId::lineState), "OFFLine");
        QVERIFY(!line.isOpen());

        first.process.kill();
        QVERIFY(first.process.waitForFinished());
        const qint64 logged = sqlite3(here + "/db1.mdb", "SELECT count(*) FROM b1").toLongLong();
        messages.clear();
        window.toolbar().onToolbarButtonClick(window::toolbar::kOffLineOnLine);
        QCOMPARE(messages.shown(), QStringList());
        QCOMPARE(window.model().text(window::ControlId::lineState), "ONLine");
        line.deliver(metersim::parseScript(u"61.2 dB").steps.front().bytes);
        QVERIFY(window.readingLog().writeQueued());
        QCOMPARE(sqlite3(here + "/db1.mdb", "SELECT AAA, CCC FROM b1 ORDER BY rowid DESC LIMIT 1"),
                 QStringLiteral("%1|61.2").arg(logged));

        refused.start(ENVMETER_LOGGER, {"--data", here});
        QVERIFY(refused.waitForFinished());
        QCOMPARE(refused.exitCode(), 2);
    }

    // What the logger says names what the user named: each mistake of the settings file with
    // its line, once, and publishing off until it is right; the device as given, with the
    // machine's ports when it cannot be opened; one line for each unplug. A password keeps
    // every character, and a file that shows it to others is told of.
    // On a small file system the logger says, once, how long its disk lasts at the rate logged.
    void saysWhenItsDiskRunsOut() {
        const QString here = folder("small disk");
        const SmallDisk disk(here, "8m");
        if (!disk.mounted())
            QSKIP("a small file system cannot be mounted here (needs root and mount rights)");
        QString script;
        for (int n = 0; n < 400; ++n)
            script += QStringLiteral("2%1.5 C\n").arg(n % 10);
        const Meter meter(here, script);
        RunningLogger logger(here);
        const QString told = "of logging at the rate logged now";
        QTRY_VERIFY_WITH_TIMEOUT(logger.said().contains(told), 30000);
        QCOMPARE(logger.said().count(told), 1);
        QVERIFY2(logger.said().contains("The disk of " + here + " has ") &&
                     logger.said().contains(" hours of logging"),
                 qPrintable(logger.said()));
        logger.process.terminate();
        QVERIFY(logger.process.waitForFinished(10000));
    }

    void saysWhatItWasGiven() {
        const QString here = folder("told");
        const QString conf = here + "/config/envmeter/envmeter.conf";
        QVERIFY(QDir().mkpath(here + "/config/envmeter"));
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("XDG_CONFIG_HOME", here + "/config");
        const auto run = [&](const QByteArray &settings, const char *awaited) -> QString {
            writeFile(conf, settings);
            QProcess logger;
            logger.setProcessEnvironment(environment);
            logger.setWorkingDirectory(here);
            logger.start(ENVMETER_LOGGER, {"--device", "COM9", "--data", here});
            QString said;
            const bool came = QTest::qWaitFor(
                [&] { return (said += logger.readAllStandardError()).contains(awaited); }, 10000);
            logger.terminate();
            logger.waitForFinished();
            return (came ? QString() : QStringLiteral("(never said) ")) + said +
                   logger.readAllStandardError();
        };
        for (const auto &[settings, mistake] :
             {std::pair("[mqtt]\nenabled=on\nhost=127.0.0.1\n",
                        ":2: enabled=on: write true or false"),
              std::pair("[MQTT]\nenabled=true\nhost=127.0.0.1\n",
                        ":1: the section is written [mqtt]"),
              std::pair("[mqtt]\nenabled=true\nhost=h\nport=18 883\n",
                        ":4: port=18 883: a port is"),
              std::pair("[mqtt]\nenabled=true\nhots=127.0.0.1\n", ":3: unknown key \"hots\""),
              std::pair("[mqtt]\nenabled=true\nhost=h\nmeter=Lab 2/bench #1\n",
                        ":4: meter=Lab 2/bench #1: a name in MQTT topics cannot hold /"),
              std::pair("[mqtt]\ninterval=5\ntemperature_unit=K\n",
                        ":2: interval=5: the interval is a number of seconds from 10 to 3600")}) {
            const QString said = run(settings, "Trying again every second");
            QCOMPARE(said.count(conf + mistake), 1);
            QVERIFY2(said.contains("Not publishing until " + conf + " is put right."),
                     qPrintable(said));
            QVERIFY(said.contains(here + "/COM9 cannot be opened: No such file or directory. "));
            QVERIFY(said.contains("Serial ports on this machine: ") ||
                    said.contains("No serial port was found"));
            QVERIFY(!said.contains("COM1"));
        }

        // The days kept backups are kept: a mistake said, and nothing logged until it is right;
        // an old backup retired as the logger starts.
        const QString old = here + "/maxdb1-2025-01-01-100000.mdb";
        sqlite3(createdLog(old), "INSERT INTO b1 VALUES (0, 'Sound', '60.1', 'dB', "
                                 "'10:00:00/01-01-2025', 0)");
        const QString wrong = run("[log]\nkeep_days=ten\n", "keep_days=ten");
        QVERIFY2(wrong.contains(conf + ":2: keep_days=ten: write a whole number of days"),
                 qPrintable(wrong));
        QVERIFY(QFileInfo::exists(old));
        const QString retired = run("[log]\nkeep_days=30\n", "Retired");
        QVERIFY2(retired.contains("Retired " + old + ": its last reading, 2025-01-01T10:00:00"),
                 qPrintable(retired));
        QVERIFY(!QFileInfo::exists(old) && QFileInfo::exists(here + "/summaries.db"));

        const QString password = "se;cr\"et #1";
        QCOMPARE(QProcess::execute("mosquitto_passwd",
                                   {"-c", "-b", here + "/passwords", "meter", password}),
                 0);
        const MqttBroker broker(here, "allow_anonymous true\npassword_file " + here + "/passwords");
        MqttSubscriber subscriber(broker.port(), "#");
        const QString said =
            run(QStringLiteral("[mqtt]\nenabled=true ; on\nhost=127.0.0.1\nport=%1\n"
                               "username=meter\npassword=\"se;cr\\\"et #1\"\nmeter=lab-2\n")
                    .arg(broker.port())
                    .toUtf8(),
                "envmeter/lab-2.");
        QVERIFY2(said.contains(QStringLiteral("Publishing to 127.0.0.1:%1 as envmeter/lab-2, as %2 "
                                              "says.")
                                   .arg(broker.port())
                                   .arg(conf)),
                 qPrintable(said));
        QVERIFY(said.contains("chmod 600 " + conf));
        QTRY_VERIFY(subscriber.messages().contains("envmeter/lab-2/status offline"));
        QVERIFY(subscriber.messages().contains("envmeter/lab-2/status online"));
        // Its line never opened: no device in Home Assistant.
        QCOMPARE(subscriber.messages().filter("homeassistant/"), QStringList());

        // Unplugged and plugged in again: one line each, naming the device.
        writeFile(conf, "");
        RunningLogger logger(here, environment);
        auto meter = std::make_unique<Meter>(here, "50.0 dB *1000\n");
        QTRY_VERIFY_WITH_TIMEOUT(logger.said().contains("Record 2:"), 10000);
        meter.reset();
        QTRY_VERIFY(logger.said().contains("has gone away"));
        const Meter again(here, "50.0 dB *1000\n");
        QTRY_VERIFY_WITH_TIMEOUT(logger.said().contains(here + "/COM1 is back"), 10000);
        QCOMPARE(logger.said().count(here + "/COM1 has gone away (unplugged, or closed at its "
                                            "other end"),
                 1);
        QCOMPARE(logger.said().count(here + "/COM1 is back"), 1);
        logger.process.terminate();
        QVERIFY(logger.process.waitForFinished());
    }

    // Two meters logged side by side by name: each into its own folder from the line its own
    // settings name, each published as itself; a second logger of one meter refused, naming the
    // first; a name that cannot be a folder refused; SIGTERM ends both.
    void severalMetersSideBySide() {
        const QString here = folder("meters");
        const MqttBroker broker(here);
        MqttSubscriber subscriber(broker.port(), "#");
        QVERIFY(QDir().mkpath(here + "/config/envmeter"));
        QVERIFY(writeFile(here + "/config/envmeter/envmeter.conf",
                          QStringLiteral("[mqtt]\nenabled=true\nhost=127.0.0.1\nport=%1\n"
                                         "meter=everyone\n")
                              .arg(broker.port())
                              .toUtf8()));
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("XDG_CONFIG_HOME", here + "/config");
        std::vector<std::unique_ptr<Meter>> meters;
        std::vector<std::unique_ptr<QProcess>> loggers;
        for (const char *name : {"kitchen", "cold-room"}) {
            const QString line = folder(name);
            // The cold room's own [mqtt] key over the common ones.
            QVERIFY(
                writeFile(here + "/config/envmeter/" + name + ".conf",
                          "[meter]\ndevice=" + line.toUtf8() + "/COM1\n" +
                              (name == QByteArray("cold-room") ? "[mqtt]\nprefix=cold\n" : "")));
            meters.push_back(std::make_unique<Meter>(
                line,
                QStringLiteral("%1 C *2000\n").arg(name == QByteArray("kitchen") ? 21.5 : 3.5)));
            loggers.push_back(std::make_unique<QProcess>());
            loggers.back()->setProcessEnvironment(environment);
            loggers.back()->start(ENVMETER_LOGGER, {"--meter", name, "--data", here + "/data"});
        }
        for (const char *topic : {"envmeter/kitchen", "cold/cold-room"})
            QTRY_VERIFY_WITH_TIMEOUT(
                subscriber.messages().contains(QStringLiteral("%1/status online").arg(topic)),
                10000);
        QTRY_VERIFY_WITH_TIMEOUT(
            subscriber.messages().filter("cold/cold-room/temperature {").size() > 5, 10000);

        QProcess refused;
        refused.setProcessEnvironment(environment);
        refused.start(ENVMETER_LOGGER, {"--meter", "kitchen", "--data", here + "/data"});
        QVERIFY(refused.waitForFinished());
        QCOMPARE(refused.exitCode(), 2);
        QVERIFY(QString::fromUtf8(refused.readAllStandardError())
                    .contains(QStringLiteral("envmeter-logger, process %1 on ")
                                  .arg(loggers.front()->processId())));
        // The kitchen's window says it is the kitchen's, and which service to stop.
        {
            const core::SystemClock clock;
            core::RecordingMessageBoxes messages;
            meter::FakeSerialLine line;
            app::Program window(QString(here + "/data/kitchen"), clock, &messages, &line);
            window.setMeterName("kitchen");
            window.start();
            QCOMPARE(window.mainWindow().windowTitle(), "5710 - kitchen");
            window.toolbar().onToolbarButtonClick(window::toolbar::kCommPort);
            window.toolbar().onToolbarButtonClick(window::toolbar::kOffLineOnLine);
            QCOMPARE(messages.shown().size(), 1);
            QVERIFY2(
                messages.shown().front().contains("systemctl --user stop envmeter-logger@kitchen)"),
                qPrintable(messages.shown().front()));
        }
        // Never read from COM1 unasked: a name without settings, a line named outside [meter].
        QVERIFY(writeFile(here + "/config/envmeter/misplaced.conf", "device=/dev/null\n[mqtt]\n"));
        for (const auto &[name, told] :
             {std::pair("a/b", "a meter's name is of letters"),
              std::pair("Kitchen", "Kitchen.conf naming its line (write [meter] with "
                                   "device=PATH or port=1 there, or give --device or --port); "
                                   "the meters with settings files: cold-room, kitchen, misplaced"),
              std::pair("misplaced", "misplaced.conf:1: device= stands before any section: it "
                                     "belongs under [meter]")}) {
            refused.start(ENVMETER_LOGGER, {"--meter", name, "--data", here + "/data"});
            QVERIFY(refused.waitForFinished());
            QCOMPARE(refused.exitCode(), 2);
            const QString said = refused.readAllStandardError();
            QVERIFY2(said.contains(told) && said.count('\n') == 1, qPrintable(said));
        }
        QCOMPARE(QDir(here + "/data").entryList(QDir::Dirs | QDir::NoDotAndDotDot),
                 QStringList({"cold-room", "kitchen"}));

        for (const auto &logger : loggers) {
            logger->terminate();
            QVERIFY(logger->waitForFinished(10000));
            QCOMPARE(logger->exitCode(), 0);
        }
        for (const auto &[name, value] :
             {std::pair("kitchen", "21.5"), std::pair("cold-room", "3.5")}) {
            const QString log = here + "/data/" + name + "/db1.mdb";
            QVERIFY(sqlite3(log, "SELECT count(*) FROM b1").toInt() > 5);
            QCOMPARE(sqlite3(log, "SELECT DISTINCT BBB, CCC, DDD FROM b1"),
                     QStringLiteral("Temp|%1|C").arg(value));
            QVERIFY(
                subscriber.messages()
                    .filter(QStringLiteral("homeassistant/sensor/envmeter_%1/temperature/config")
                                .arg(name))
                    .size() >= 1);
        }
        QVERIFY(subscriber.messages().filter("envmeter/everyone/").isEmpty());

        // The kitchen retired: what it left on the broker is taken away and said; the cold
        // room's stays.
        refused.start(ENVMETER_LOGGER,
                      {"--meter", "kitchen", "--data", here + "/data", "--unpublish"});
        QVERIFY(refused.waitForFinished(20000));
        QCOMPARE(refused.exitCode(), 0);
        const QString cleared = refused.readAllStandardOutput();
        QVERIFY2(
            cleared.contains("retained messages of kitchen:\n") &&
                cleared.contains("\n  envmeter/kitchen/status\n") &&
                cleared.contains("\n  homeassistant/sensor/envmeter_kitchen/sound_lmax/config\n"),
            qPrintable(cleared));
        MqttSubscriber retained(broker.port(), "#");
        QTRY_COMPARE(retained.messages().filter("envmeter_cold-room/").size(), 6);
        QTRY_VERIFY(retained.messages().contains("cold/cold-room/status offline"));
        QCOMPARE(retained.messages().filter("kitchen"), QStringList());
    }

    // Alarms told at once on standard error, through the command and on the broker: a short
    // burst over the limit passes, a long one raises, a level between the limit and the clear
    // level holds it; the broker away while it clears: the state right as soon as it is back,
    // the event after it; the meter gone silent.
    void alarmsToldAtOnceEverywhere() {
        const QString here = folder("alarms");
        MqttBroker broker(here);
        MqttSubscriber alarms(
            broker.port(), "envmeter/lab/sound/alarm",
            {"-t", "envmeter/lab/event", "-t", "envmeter/lab/silent", "-R", "-F", "%U %t %p"});
        MqttSubscriber sensors(broker.port(), "homeassistant/binary_sensor/envmeter_lab/#");
        QVERIFY(QDir().mkpath(here + "/config/envmeter"));
        const QString commandLog = here + "/command.log";
        QVERIFY(
            writeFile(here + "/config/envmeter/envmeter.conf",
                      QStringLiteral("[mqtt]\nenabled=true\nhost=127.0.0.1\nport=%1\nmeter=lab\n"
                                     "[alarm]\nsound_above=85\nsound_for=3\n"
                                     "sound_hysteresis=3\nsilent_for=4\n"
                                     "command=sh -c 'env | grep ^ENVMETER_ | sort | tr \"\\n\" "
                                     "\" \" >> %2; echo >> %2'\n")
                          .arg(broker.port())
                          .arg(commandLog)
                          .toUtf8()));
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("XDG_CONFIG_HOME", here + "/config");
        RunningLogger logger(here, environment);
        const Meter meter(
            here, "80.0 dB *20\n90.0 dB *10\n80.0 dB *20\n88.0 dB *40\n83.0 dB *40\n79.0 dB *10\n");
        QTRY_VERIFY_WITH_TIMEOUT(logger.said().contains("Alarm sound_above raised: 88 dB"), 30000);
        QTRY_VERIFY(alarms.messages().filter("envmeter/lab/event").size() == 1);
        broker.stop();
        QTRY_VERIFY_WITH_TIMEOUT(logger.said().contains("Alarm sound_above cleared: 79 dB"), 30000);
        QVERIFY(broker.start());
        QTRY_VERIFY_WITH_TIMEOUT(logger.said().contains("Alarm silent raised"), 30000);
        // The subscriber comes back to the broker by itself, in its own time.
        QTRY_VERIFY_WITH_TIMEOUT(alarms.messages().filter("envmeter/lab/event").size() >= 3, 30000);
        logger.process.terminate();
        QVERIFY(logger.process.waitForFinished(10000));

        const QString said = logger.said();
        QCOMPARE(said.count("Alarm sound_above raised"), 1);
        QVERIFY2(said.contains("Alarm sound_above raised: 88 dB, at or above 85 dB since ") &&
                     said.contains("(peak 88 dB)."),
                 qPrintable(said));
        // Each change on the broker within a second of the reading that made it (stamped in
        // whole seconds), the states before the events; the events in order.
        QStringList told;
        QStringList events;
        for (const QString &message : deliveredOnce(alarms.messages())) {
            const double arrived = message.section(u' ', 0, 0).toDouble();
            const QString topic = message.section(u' ', 1, 1);
            const QJsonObject json =
                QJsonDocument::fromJson(message.section(u' ', 2).toUtf8()).object();
            told.append(topic.section(u'/', 2) + u' ' + json["state"].toString());
            if (topic.endsWith("/event"))
                events.append(told.back());
            if (topic.endsWith("/event") && json["alarm"] == "sound_above" &&
                json["event"] == "raised") {
                const qint64 at =
                    QDateTime::fromString(json["at"].toString(), Qt::ISODate).toSecsSinceEpoch();
                QVERIFY2(arrived - double(at) < 2, qPrintable(message));
                QCOMPARE(json["peak"].toDouble(), 88.0);
                QCOMPARE(json["limit"].toDouble(), 85.0);
            }
        }
        QCOMPARE(events, QStringList({"event high", "event off", "event on"}));
        for (const auto &[state, event] :
             {std::pair("sound/alarm high", "event high"),
              std::pair("sound/alarm off", "event off"), std::pair("silent on", "event on")})
            QVERIFY2(told.contains(state) && told.indexOf(state) < told.indexOf(event),
                     qPrintable(told.join('\n')));
        // The statistics find the same events in the log by the same rules, and the short burst
        // that raised nothing.
        QProcess statistics;
        statistics.setProcessEnvironment(environment);
        statistics.start(ENVMETER, {"--statistics", here, "--events", "--json"});
        QVERIFY(statistics.waitForFinished(30000));
        const QByteArray json = statistics.readAllStandardOutput();
        QStringList found;
        for (const QJsonValue e : QJsonDocument::fromJson(json)["events"].toArray())
            found.append(QStringLiteral("%1 %2 %3 %4")
                             .arg(e["rule"].toString(), e["raised"].toBool() ? "raised" : "passed")
                             .arg(e["peak"].toDouble())
                             .arg(e["raised"].toBool()
                                      ? e["start"].toString() + ' ' + e["end"].toString()
                                      : QString()));
        QStringList live;
        for (const QString &message : alarms.messages().filter(" envmeter/lab/event ")) {
            const QJsonObject e =
                QJsonDocument::fromJson(message.section(u' ', 2).toUtf8()).object();
            if (e["event"] == "cleared")
                live.append(QStringLiteral("%1 raised %2 %3 %4")
                                .arg(e["alarm"].toString())
                                .arg(e["peak"].toDouble())
                                .arg(e["since"].toString(), e["at"].toString()));
        }
        live.removeDuplicates();
        QCOMPARE(found, QStringList{"sound_above passed 90 "} + live);

        // Home Assistant: a binary sensor for each alarm set, those not set taken away.
        const QString sensor = "homeassistant/binary_sensor/envmeter_lab/%1/config";
        QTRY_VERIFY(!sensors.messages().filter(sensor.arg("silent")).isEmpty());
        QVERIFY(sensors.messages().filter(sensor.arg("sound_above"))[0].contains(
            "\"device_class\":\"sound\""));
        QVERIFY(sensors.messages().filter(sensor.arg("silent"))[0].contains(
            "\"device_class\":\"problem\""));
        const QStringList notSet = sensors.messages().filter(sensor.arg("light_below"));
        QVERIFY(!notSet.isEmpty() && !notSet.join(u' ').contains(u'{'));

        // The command, once for each change, with the event in its environment.
        QTRY_COMPARE(bytesOf(commandLog).count('\n'), 3);
        const QStringList runs = QString::fromUtf8(bytesOf(commandLog)).split(u'\n');
        QVERIFY2(runs[0].contains("ENVMETER_ALARM=sound_above ENVMETER_EVENT=raised "
                                  "ENVMETER_LIMIT=85 ENVMETER_METER=lab ENVMETER_PEAK=88 "
                                  "ENVMETER_SINCE=") &&
                     runs[1].contains("ENVMETER_EVENT=cleared") &&
                     runs[1].contains("ENVMETER_VALUE=79") &&
                     runs[2].contains("ENVMETER_ALARM=silent ENVMETER_EVENT=raised"),
                 qPrintable(runs.join('\n')));
    }

    // Home Assistant's view with interval=10 and temperatures in F: each quantity's state
    // within a second of its interval's end, its figures those the independent computation
    // finds in the log; the broker away for several intervals: then the latest of them once,
    // none of the others, and every record on the per-record topics; sensors that read the
    // states, in one unit.
    void statesPerIntervalThroughAnOutage() {
        const QString here = folder("states");
        MqttBroker broker(here);
        MqttSubscriber records(broker.port(), "envmeter/lab/+");
        // Each state with the time it came; retained ones sent again on a new connection left out.
        MqttSubscriber states(broker.port(), "envmeter/lab/+/state", {"-R", "-F", "%U %t %p"});
        QVERIFY(QDir().mkpath(here + "/config/envmeter"));
        QVERIFY(writeFile(here + "/config/envmeter/envmeter.conf",
                          QStringLiteral("[mqtt]\nenabled=true\nhost=127.0.0.1\nport=%1\n"
                                         "meter=lab\ninterval=10\ntemperature_unit=F\n")
                              .arg(broker.port())
                              .toUtf8()));
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("XDG_CONFIG_HOME", here + "/config");
        RunningLogger logger(here, environment);
        const Meter meter(here,
                          "55.0 dB *5\n62.5 dB *10\n80.1 dB *5\nO.L dB *3\n45.6 %RH *12\n"
                          "23.5 C *10\n75.2 F *10\n1234 LUX *8\nOL LUX *2\n",
                          {"--loop"});
        const auto soundStates = [&] { return states.messages().filter("/sound/state ").size(); };
        QTRY_VERIFY_WITH_TIMEOUT(soundStates() >= 2, 30000);
        broker.stop();
        QTest::qWait(21000);
        QVERIFY(broker.start());
        const qint64 restartedAt = QDateTime::currentSecsSinceEpoch();
        const qsizetype before = soundStates();
        QTRY_VERIFY2_WITH_TIMEOUT(soundStates() >= before + 2,
                                  qPrintable(logger.said() + states.messages().join('\n')), 60000);
        logger.process.terminate();
        QVERIFY(logger.process.waitForFinished(10000));

        // Every record, in order (one may come twice).
        const QString log = here + "/db1.mdb";
        const int logged = sqlite3(log, "SELECT count(*) FROM b1").toInt();
        QTRY_VERIFY(records.messages().filter("\"record\": ").size() >= logged);
        int next = 0;
        for (const QString &message : records.messages().filter("\"record\": ")) {
            const int no = message.section("\"record\": ", 1).section(u',', 0, 0).toInt();
            QVERIFY2(no == next || no == next - 1, qPrintable(message));
            next = no + 1;
        }
        QCOMPARE(next, logged);

        QProcess check;
        check.start("python3", {STATISTICS_CHECK, log, "--interval", "10", "--within",
                                "--temperature-unit", "F"});
        QVERIFY(check.waitForFinished(60000));
        const QJsonArray intervals =
            QJsonDocument::fromJson(check.readAllStandardOutput()).object()["intervals"].toArray();
        QVERIFY(!intervals.isEmpty());
        std::map<QString, std::vector<qint64>> ends; // by topic
        std::map<QString, int> late;
        for (const QString &message : deliveredOnce(states.messages())) {
            const double arrived = message.section(u' ', 0, 0).toDouble();
            const QString topic = message.section(u' ', 1, 1);
            const QJsonObject state =
                QJsonDocument::fromJson(message.section(u' ', 2).toUtf8()).object();
            const qint64 end =
                QDateTime::fromString(state["end"].toString(), Qt::ISODate).toSecsSinceEpoch();
            QVERIFY2(ends[topic].empty() || end > ends[topic].back(), qPrintable(message));
            ends[topic].push_back(end);
            // Late: only the latest of those that ended while the broker was away, once.
            if (arrived - end > 3) {
                QVERIFY2(arrived >= restartedAt && end > arrived - 12, qPrintable(message));
                QCOMPARE(++late[topic], 1);
            }
            const auto expected =
                std::find_if(intervals.begin(), intervals.end(), [&](const QJsonValue &i) {
                    return i.toObject()["start"] == state["start"];
                });
            QVERIFY2(expected != intervals.end(), qPrintable(message));
            bool found = false;
            for (const QJsonValue g : expected->toObject()["groups"].toArray()) {
                if (g["function"] != state["function"])
                    continue;
                found = true;
                QCOMPARE(state["unit"], g["unit"]);
                for (const auto &[mine, theirs] :
                     {std::pair("readings", "readings"), std::pair("overloads", "overloads"),
                      std::pair("seconds", "seconds"), std::pair("leq", "leq"),
                      std::pair("lmax", "max"), std::pair("lmin", "min"), std::pair("l10", "l10"),
                      std::pair("l90", "l90"), std::pair("mean", "mean"), std::pair("min", "min"),
                      std::pair("max", "max")}) {
                    const bool sound = state["function"] == "Sound";
                    const bool applies = QByteArray(mine).startsWith('l') == sound ||
                                         QByteArray("readings overloads seconds").contains(mine);
                    if (!applies || g[theirs].isNull())
                        QVERIFY2(!state.contains(mine) || !applies, qPrintable(message));
                    else
                        QVERIFY2(qAbs(state[mine].toDouble() - g[theirs].toDouble()) < 1e-9,
                                 qPrintable(message + " " + mine));
                }
            }
            QVERIFY2(found, qPrintable(message));
        }
        // A state for every interval while the broker was there: one a topic every 10 s, but
        // for the outage.
        for (const auto &[topic, times] : ends) {
            int gaps = 0;
            for (std::size_t i = 1; i < times.size(); ++i)
                gaps += times[i] - times[i - 1] != 10;
            QVERIFY2(gaps <= 1 && times.size() >= 3, qPrintable(topic));
        }

        MqttSubscriber configs(broker.port(), "homeassistant/#", {"-C", "6", "-W", "10"});
        QTRY_COMPARE(configs.messages().size(), 6);
        QStringList objects;
        for (const QString &message : configs.messages()) {
            const QJsonObject config =
                QJsonDocument::fromJson(message.section(u' ', 1).toUtf8()).object();
            objects.append(config["unique_id"].toString());
            QVERIFY(config["state_topic"].toString().endsWith("/state"));
            QCOMPARE(config["json_attributes_topic"], config["state_topic"]);
            QCOMPARE(config["expire_after"].toInt(), 30);
            QCOMPARE(config["availability_topic"].toString(), "envmeter/lab/status");
            if (config["state_topic"] == "envmeter/lab/temperature/state")
                QCOMPARE(config["unit_of_measurement"].toString(), "°F");
        }
        objects.sort();
        QCOMPARE(objects, QStringList({"envmeter_lab_humidity", "envmeter_lab_light",
                                       "envmeter_lab_sound", "envmeter_lab_sound_lmax",
                                       "envmeter_lab_sound_lmin", "envmeter_lab_temperature"}));
    }
};

QTEST_MAIN(TestLogger)
#include "tst_logger.moc"
