#include "../log/sqlite_cli.h"
#include "core/alarm_rules.h"
#include "core/meter_settings.h"
#include "core/reading_texts.h"
#include "core/settings_file.h"
#include "core/time_stamp.h"
#include "core/zone_clock.h"
#include "mqtt_broker.h"
#include "publish/broker_connection.h"
#include "publish/interval_states.h"
#include "publish/publish_settings.h"
#include "publish/publisher.h"
#include "publish/record_message.h"
#include "test_files.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMutex>
#include <QRegularExpression>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

#include <sys/stat.h>

namespace {

/// What the publisher told, from its thread.
struct Told {
    QMutex mutex;
    QStringList failed;
    QStringList working;
    publish::Publisher::Handlers handlers() {
        return {[this](const QString &t) {
                    const QMutexLocker lock(&mutex);
                    failed.append(t);
                },
                [this](const QString &t) {
                    const QMutexLocker lock(&mutex);
                    working.append(t);
                }};
    }
    qsizetype failures() {
        const QMutexLocker lock(&mutex);
        return failed.size();
    }
};

/// The record numbers received, each first arrival only (a record may come twice).
QList<int> arrived(MqttSubscriber &subscriber) {
    QList<int> numbers;
    QStringList seen;
    for (const QString &message : subscriber.messages()) {
        const QString payload = message.section(u' ', 1);
        const int at = payload.indexOf(u"\"record\": ");
        if (at < 0 || seen.contains(payload))
            continue;
        seen.append(payload);
        numbers.append(payload.mid(at + 10).section(u',', 0, 0).toInt());
    }
    return numbers;
}

/// The README's example that begins with the line `first`, as it stands there: its lines with
/// the example's indentation taken off.
QString readmeExample(const QString &first) {
    const QStringList lines = QString::fromUtf8(bytesOf(README)).split(u'\n');
    const qsizetype start =
        lines.indexOf(QRegularExpression("^ +" + QRegularExpression::escape(first) + '$'));
    if (start < 0)
        return {};
    const qsizetype indent = lines[start].indexOf(first);
    QStringList example;
    for (qsizetype i = start; i < lines.size() && lines[i].startsWith(QString(indent, u' ')) &&
                              lines[i].trimmed().size() > 0;
         ++i)
        example.append(lines[i].mid(indent));
    return example.join(u'\n') + u'\n';
}

QList<int> range(int first, int last) {
    QList<int> numbers;
    for (int n = first; n <= last; ++n)
        numbers.append(n);
    return numbers;
}

} // namespace

// The publisher against a real Mosquitto broker on 127.0.0.1: every record of the log reaches
// a subscriber in order, whatever happened to the broker or the program in between.
class TestPublisher : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

    publish::PublishSettings settingsFor(int port) const {
        publish::PublishSettings s;
        s.enabled = true;
        s.host = QStringLiteral("127.0.0.1");
        s.port = port;
        s.meter = QStringLiteral("meter1");
        return s;
    }

  private slots:
    void initTestCase() {
        // Record times are local: December in Berlin is an hour ahead of UTC.
        qputenv("TZ", "Europe/Berlin");
        tzset();
    }

    // Published as they come, with their JSON; the broker away for a while; the program
    // stopped and started again; a record limit passed while nothing was published.
    void everyRecordArrivesInOrder() {
        const QString folder = m_dir.filePath("live");
        QDir().mkpath(folder);
        const QString log = createdLog(folder + "/db1.mdb");
        MqttBroker broker(m_dir.filePath("live"));
        MqttSubscriber subscriber(broker.port(), "envmeter/meter1/#");
        Told told;
        auto publisher = std::make_unique<publish::Publisher>(settingsFor(broker.port()), folder,
                                                              told.handlers());
        QTRY_COMPARE(subscriber.messages().value(0), "envmeter/meter1/status online");
        fillLog(log, 0, 29);
        publisher->recordsCommitted();
        QTRY_COMPARE(arrived(subscriber), range(0, 29));
        QVERIFY(subscriber.messages().contains(
            "envmeter/meter1/sound {\"record\": 0, \"time\": \"2026-12-04T14:03:27+01:00\", "
            "\"function\": \"Sound\", \"value\": 73.4, \"text\": \"73.4\", \"unit\": \"dB\", "
            "\"overload\": false}"));

        broker.stop();
        fillLog(log, 30, 79);
        publisher->recordsCommitted();
        QTRY_COMPARE_WITH_TIMEOUT(told.failures(), 1, 10000);
        QVERIFY(broker.start());
        QTRY_COMPARE_WITH_TIMEOUT(arrived(subscriber), range(0, 79), 20000);
        QCOMPARE(told.failures(), 1);
        QVERIFY(told.failed.front().startsWith(
            QStringLiteral("Publishing to 127.0.0.1:%1 failed: ").arg(broker.port())));

        publisher.reset();
        fillLog(log, 80, 99);
        publisher = std::make_unique<publish::Publisher>(settingsFor(broker.port()), folder,
                                                         told.handlers());
        QTRY_COMPARE(arrived(subscriber), range(0, 99));

        // The limit: db1.mdb backed up to maxdb1.mdb and emptied, numbers starting again.
        publisher.reset();
        fillLog(log, 100, 119);
        QVERIFY(QFile::copy(log, folder + "/maxdb1.mdb"));
        sqlite3(log, "DELETE FROM b1");
        fillLog(log, 0, 9, "12-05-2026");
        const qsizetype before = subscriber.messages().size();
        publisher = std::make_unique<publish::Publisher>(settingsFor(broker.port()), folder,
                                                         told.handlers());
        QTRY_COMPARE(arrived(subscriber), range(0, 119) + range(0, 9));
        // Going on after the last record acknowledged, not from the start.
        QVERIFY(subscriber.messages().size() - before < 40);

        // A saved log loaded in place of the live one: its older records are no news, what is
        // logged after them is.
        publisher.reset();
        QVERIFY(QFile::remove(log));
        fillLog(createdLog(log), 500, 509, "12-01-2026");
        publisher = std::make_unique<publish::Publisher>(settingsFor(broker.port()), folder,
                                                         told.handlers());
        fillLog(log, 510, 512, "12-06-2026");
        publisher->recordsCommitted();
        QTRY_COMPARE(arrived(subscriber), range(0, 119) + range(0, 9) + range(510, 512));
        QCOMPARE(told.failures(), 1);
    }

    // An interval's state from the records taken in it: ended by a record of a later interval,
    // by the clock, or by the clock set back; temperatures in one unit; a quantity of
    // overloads alone without levels; intervals that do not divide a day cut at midnight; of
    // several ended at once, only the latest. Across the night the clock goes back, one state
    // for each hour lived, each told once, also when followed from the second pass.
    void intervalStatesFromRecords() {
        const auto record = [](const QString &time, const QString &function, const char *data,
                               const QString &unit, const QString &date = "12-04-2026") {
            return logbook::LogRecord{0, function, QString::fromLatin1(data), unit,
                                      time + u'/' + date};
        };
        const core::ZoneClock berlin;
        const qint64 day = berlin.instantOf(*core::clockSeconds(u"00:00:00/12-04-2026"));
        publish::IntervalStates states(10, core::kUnitFahrenheit);
        std::vector<logbook::LogRecord> records;
        for (int s = 0; s < 10; ++s) {
            const QByteArray time =
                QStringLiteral("14:03:%1").arg(s, 2, 10, QChar(u'0')).toLatin1();
            records.push_back(record(time, core::kFunctionTemp, s < 5 ? "20.0" : "77.0",
                                     s < 5 ? core::kUnitCelsius : core::kUnitFahrenheit));
        }
        records.push_back(record("14:03:09", core::kFunctionLight, "OL", core::kUnitLux));
        states.add(records);
        QVERIFY(!states.takeLatest());
        states.add(
            std::vector{record("14:03:10", core::kFunctionSound, "60.0", core::kUnitDecibel)});
        const std::optional<publish::IntervalState> ended = states.takeLatest();
        QVERIFY(ended);
        QCOMPARE(ended->end.utc - ended->start.utc, 10);
        publish::PublishSettings settings = settingsFor(1883);
        const std::vector<publish::Message> messages = publish::stateMessages(settings, *ended);
        QCOMPARE(messages.size(), 2u);
        QCOMPARE(messages[0].topic, "envmeter/meter1/temperature/state");
        const QJsonObject temperature = QJsonDocument::fromJson(messages[0].payload).object();
        QCOMPARE(temperature["start"].toString(), "2026-12-04T14:03:00+01:00");
        QCOMPARE(temperature["end"].toString(), "2026-12-04T14:03:10+01:00");
        QCOMPARE(temperature["unit"].toString(), "F");
        QCOMPARE(temperature["readings"].toInt(), 10);
        QCOMPARE(temperature["seconds"].toDouble(), 10.0);
        QCOMPARE(temperature["min"].toDouble(), 68.0);
        QCOMPARE(temperature["max"].toDouble(), 77.0);
        QCOMPARE(temperature["mean"].toDouble(), 72.5);
        const QJsonObject light = QJsonDocument::fromJson(messages[1].payload).object();
        QCOMPARE(light["overloads"].toInt(), 1);
        QVERIFY(!light.contains("mean") && !light.contains("min") && !light.contains("max"));

        // The clock past the end and the grace; set back before the interval going on.
        QVERIFY(states.msUntilDue((day + 14 * 3600 + 3 * 60 + 20) * 1000) ==
                publish::IntervalStates::kGraceMs);
        states.clockAt((day + 14 * 3600 + 3 * 60 + 20) * 1000 + publish::IntervalStates::kGraceMs);
        QCOMPARE(states.takeLatest()->start.utc, day + 14 * 3600 + 3 * 60 + 10);
        states.add(
            std::vector{record("14:05:00", core::kFunctionSound, "60.0", core::kUnitDecibel)});
        states.clockAt((day + 13 * 3600) * 1000);
        QCOMPARE(states.takeLatest()->start.utc, day + 14 * 3600 + 5 * 60);
        states.add(
            std::vector{record("13:00:00", core::kFunctionSound, "60.0", core::kUnitDecibel),
                        record("13:00:10", core::kFunctionSound, "61.0", core::kUnitDecibel),
                        record("13:00:20", core::kFunctionSound, "62.0", core::kUnitDecibel)});
        QCOMPARE(states.takeLatest()->groups.front().max, 61.0);
        QVERIFY(!states.takeLatest());

        const publish::IntervalStates hours(3500, core::kUnitCelsius);
        QCOMPARE(hours.intervalOf(day + 86399), std::pair(day + 84000, day + 86400));
        QCOMPARE(hours.intervalOf(day + 86400), std::pair(day + 86400, day + 86400 + 3500));

        // Every ten minutes from 01:00 to 03:50 on the day summer time ends: 02:00-02:50 twice.
        std::vector<logbook::LogRecord> night;
        for (int m = 0; m < 240; m += 10) {
            const int clock = m < 120 ? m : m - 60;
            night.push_back(record(QStringLiteral("%1:%2:00")
                                       .arg(1 + clock / 60, 2, 10, QChar(u'0'))
                                       .arg(clock % 60, 2, 10, QChar(u'0')),
                                   core::kFunctionSound, m < 120 ? "70.0" : "50.0",
                                   core::kUnitDecibel, "10-25-2026"));
        }
        const auto told = [&](publish::IntervalStates &states, std::size_t from) {
            QStringList starts;
            for (std::size_t i = from; i < night.size(); ++i) {
                states.add(std::span(night).subspan(i, 1));
                if (const std::optional<publish::IntervalState> state = states.takeLatest()) {
                    const QJsonObject sound =
                        QJsonDocument::fromJson(publish::stateMessages(settings, *state)[0].payload)
                            .object();
                    starts.append(sound["start"].toString().mid(11) + u'-' +
                                  sound["end"].toString().mid(11) + u' ' +
                                  QString::number(sound["readings"].toInt()) + u' ' +
                                  QString::number(sound["leq"].toDouble()));
                }
            }
            return starts;
        };
        publish::IntervalStates hourly(3600, core::kUnitCelsius);
        QCOMPARE(told(hourly, 0), QStringList({"01:00:00+02:00-02:00:00+02:00 6 70",
                                               "02:00:00+02:00-02:00:00+01:00 6 70",
                                               "02:00:00+01:00-03:00:00+01:00 6 50"}));
        // Followed from the second 02:00 on, the records read from 01:00: the hours before were
        // told before.
        publish::IntervalStates again(3600, core::kUnitCelsius);
        const qint64 secondPass = berlin.instantOf(*core::clockSeconds(u"02:00:00/10-25-2026"),
                                                   std::numeric_limits<qint64>::max() / 4);
        QCOMPARE(again.intervalOf(secondPass), std::pair(secondPass, secondPass + 3600));
        again.followFrom(secondPass);
        QCOMPARE(told(again, 0), QStringList{"02:00:00+01:00-03:00:00+01:00 6 50"});
    }

    // The README's settings, pasted as they stand, read as the README says; "Publish..." keeps
    // every comment of them, those at the ends of lines too; mistakes named with a hint of what
    // was meant.
    void settingsReadAsTheReadmeSays() {
        const QString conf = m_dir.filePath("readme/envmeter.conf");
        QDir().mkpath(QFileInfo(conf).path());
        const QString example = readmeExample("[mqtt]");
        QVERIFY(example.contains("meter=                ; empty: the host name"));
        QVERIFY(writeFile(conf, example.toUtf8()));
        publish::SettingsReading read = publish::readPublishSettings(conf);
        QCOMPARE(read.mistakes, QStringList());
        publish::PublishSettings expected;
        expected.enabled = true;
        expected.host = "broker.example";
        expected.port = 1883;
        QCOMPARE(read.settings, expected);
        QCOMPARE(read.settings.meterName(), QSysInfo::machineHostName());

        // The alarms' example beside it: a cold room, the silent meter, a notification; the
        // web hook's command in the words a shell would give it.
        QVERIFY(writeFile(conf, (example + readmeExample("[alarm]")).toUtf8()));
        QCOMPARE(publish::readPublishSettings(conf).mistakes, QStringList());
        const core::AlarmSettings alarms = core::readAlarmSettings(conf);
        QCOMPARE(alarms.mistakes, QStringList());
        QCOMPARE(alarms.rules.size(), 2u);
        QCOMPARE(alarms.rules[1].name, "temperature_below");
        QCOMPARE(alarms.rules[1].forSeconds, 900.0);
        QCOMPARE(alarms.rules[1].hysteresis, 0.5);
        QCOMPARE(alarms.silentSeconds, 120.0);
        QCOMPARE(core::commandWords(alarms.command),
                 QStringList(
                     {"notify-send", "Meter $ENVMETER_METER", "$ENVMETER_ALARM $ENVMETER_EVENT"}));
        const QStringList readmeLines = QString::fromUtf8(bytesOf(README)).split(u'\n');
        const auto hookLine =
            std::find_if(readmeLines.begin(), readmeLines.end(), [](const QString &line) {
                return line.trimmed().startsWith("command=sh -c 'curl");
            });
        QVERIFY(hookLine != readmeLines.end());
        const QStringList hook =
            core::commandWords(core::parseSettings(hookLine->trimmed()).entries.at(0).value);
        QCOMPARE(hook.size(), 3);
        QVERIFY(hook[2].startsWith("curl -fsS -m 10 -d \"$ENVMETER_METER: "));

        // The quoting examples, each in the README's own words.
        const QString readme = QString::fromUtf8(bytesOf(README));
        const QRegularExpression quoted("`(password=[^`]*)`");
        QStringList passwords;
        for (const QRegularExpressionMatch &m : quoted.globalMatch(readme)) {
            QVERIFY(writeFile(conf, "[mqtt]\n" + m.captured(1).toUtf8() + '\n'));
            passwords.append(publish::readPublishSettings(conf).settings.password);
        }
        QCOMPARE(passwords, QStringList({"my ;pass \"word\" ", "se;cret"}));

        QVERIFY(writeFile(conf, example.toUtf8()));
        expected.meter = "kitchen";
        expected.caFile = "/etc/ssl/a b.pem";
        QCOMPARE(publish::writePublishSettings(conf, expected), QString());
        const QString written = QString::fromUtf8(bytesOf(conf));
        QVERIFY2(written.contains("\nmeter=kitchen         ; empty: the host name\n"),
                 qPrintable(written));
        QVERIFY(
            written.contains("\nca_file=/etc/ssl/a b.pem ; empty: the system's certificates\n"));
        for (const QString &line : example.split(u'\n'))
            if (line.contains(" ; "))
                QVERIFY2(written.contains(line.mid(line.indexOf(" ; "))), qPrintable(line));
        QCOMPARE(publish::readPublishSettings(conf).settings, expected);

        QVERIFY(writeFile(conf, "host=h\ndevice=/dev/ttyUSB0\n[mqtt]\nport=18831 # broker\n"));
        QCOMPARE(publish::readPublishSettings(conf).mistakes,
                 QStringList({conf + ":1: host= stands before any section: it belongs under [mqtt]",
                              conf + ":2: device= stands before any section: a meter's line is "
                                     "named under [meter] in the meter's own NAME.conf",
                              conf + ":4: port=18831 # broker: a port is a number from 1 to 65535, "
                                     "or nothing for the default (a comment at the end of a line "
                                     "begins with ; after a blank, not #)"}));

        // A meter's own file: its line as the README names it; the [meter] section's mistakes
        // are the meter's, not the publishing's.
        const QString kitchen = m_dir.filePath("readme/kitchen.conf");
        QVERIFY(writeFile(kitchen, readmeExample("[meter]").toUtf8()));
        QCOMPARE(core::readMeterLine(kitchen).device,
                 "/dev/serial/by-id/usb-Prolific_Technology_Inc._USB-Serial_Controller-if00-port0");
        QVERIFY(writeFile(kitchen, "device=/dev/ttyUSB0\n[Meter]\nport=1\n"));
        QCOMPARE(core::readMeterLine(kitchen).mistakes,
                 QStringList({kitchen + ":1: device= stands before any section: it belongs under "
                                        "[meter]",
                              kitchen + ":2: the section is written [meter], not [Meter]"}));
        QCOMPARE(
            publish::readMeterPublishSettings(conf, kitchen, "kitchen").mistakes.filter(kitchen),
            QStringList());
        QCOMPARE(core::meterNames(conf), QStringList{"kitchen"});

        // A pipe where a settings file belongs is told, never waited on.
        QVERIFY(QFile::remove(kitchen));
        QCOMPARE(mkfifo(QFile::encodeName(kitchen).constData(), 0600), 0);
        const QString refused = kitchen + " cannot be read: it is no file but a folder, a pipe "
                                          "or a device";
        QCOMPARE(core::readMeterLine(kitchen).mistakes, QStringList{refused});
        QCOMPARE(
            publish::readMeterPublishSettings(conf, kitchen, "kitchen").mistakes.filter(kitchen),
            QStringList{refused});
        QCOMPARE(publish::writePublishSettings(kitchen, expected), refused);
    }

    // What a user hears when the broker will not have the program: a refused password, a
    // TLS broker whose certificate another CA signed; and the settings kept private.
    void refusalsAreSaid() {
        const QString folder = m_dir.filePath("secure");
        QDir().mkpath(folder);
        QCOMPARE(QProcess::execute("mosquitto_passwd",
                                   {"-c", "-b", folder + "/passwords", "meter", "right"}),
                 0);
        const auto openssl = [&](const QStringList &arguments) {
            QProcess p;
            p.setWorkingDirectory(folder);
            p.start("openssl", arguments);
            return p.waitForFinished() && p.exitCode() == 0;
        };
        for (const char *ca : {"ca", "other"})
            QVERIFY(openssl({"req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "2", "-subj",
                             QStringLiteral("/CN=%1").arg(ca), "-keyout",
                             QStringLiteral("%1.key").arg(ca), "-out",
                             QStringLiteral("%1.crt").arg(ca)}));
        QVERIFY(openssl({"req", "-newkey", "rsa:2048", "-nodes", "-subj", "/CN=127.0.0.1",
                         "-keyout", "server.key", "-out", "server.csr"}));
        QVERIFY(writeFile(folder + "/san.ext", "subjectAltName=IP:127.0.0.1\n"));
        QVERIFY(openssl({"x509", "-req", "-in", "server.csr", "-CA", "ca.crt", "-CAkey", "ca.key",
                         "-CAcreateserial", "-days", "2", "-extfile", "san.ext", "-out",
                         "server.crt"}));

        MqttBroker withPassword(folder, "password_file " + folder + "/passwords");
        publish::PublishSettings s = settingsFor(withPassword.port());
        s.username = "meter";
        s.password = "wrong";
        QVERIFY(publish::tryBroker(s, 5000).contains("the broker refused the connection"));
        s.password = "right";
        QVERIFY(publish::tryBroker(s, 5000).startsWith("Connected to 127.0.0.1:"));

        const QString tlsFolder = folder + "/tls";
        QDir().mkpath(tlsFolder);
        MqttBroker withTls(tlsFolder,
                           QStringLiteral("allow_anonymous true\ncafile %1/ca.crt\n"
                                          "certfile %1/server.crt\nkeyfile %1/server.key")
                               .arg(folder));
        s = settingsFor(withTls.port());
        s.tls = true;
        s.caFile = folder + "/ca.crt";
        QVERIFY2(publish::tryBroker(s, 5000).startsWith("Connected"),
                 qPrintable(publish::tryBroker(s, 5000)));
        s.caFile = folder + "/other.crt";
        QVERIFY(publish::tryBroker(s, 5000).contains("TLS failed: "));

        const QString file = folder + "/config/envmeter.conf";
        s.password = "secret";
        QCOMPARE(publish::writePublishSettings(file, s), QString());
        QCOMPARE(publish::readPublishSettings(file).settings, s);
        // Neither the group nor others read it.
        QCOMPARE(int(QFile::permissions(file) & 0x0077), 0);
    }
};

QTEST_GUILESS_MAIN(TestPublisher)
#include "tst_publisher.moc"
