#include "core/alarm_watch.h"
#include "core/number_text.h"
#include "core/reading_texts.h"

#include <QTemporaryDir>
#include <QTest>

namespace {

/// The [alarm] settings of `text`, written into a file of the folder.
core::AlarmSettings settingsOf(const QTemporaryDir &dir, const QString &name, const QString &text) {
    QFile file(dir.filePath(name));
    if (!file.open(QIODevice::WriteOnly) || file.write(text.toUtf8()) < 0)
        return {};
    file.close();
    return core::readAlarmSettings(file.fileName());
}

} // namespace

class TestAlarmWatch : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

  private slots:
    // Readings, each "SECOND FUNCTION UNIT DATA", against rules, told as "SECOND CHANGE NAME
    // VALUE PEAK".
    void tellsWhatTheReadingsMake_data() {
        QTest::addColumn<QString>("rules");
        QTest::addColumn<QStringList>("readings");
        QTest::addColumn<QStringList>("told");
        QTest::newRow("a short burst passes")
            << "sound_above=85\nsound_for=5"
            << QStringList{"0 Sound dB 86", "3 Sound dB 88", "4 Sound dB 80"}
            << QStringList{"4 passed sound_above 80.0 88.0"};
        QTest::newRow("a long one raises, held above the clear level, cleared below it")
            << "sound_above=85\nsound_for=5\nsound_hysteresis=3"
            << QStringList{"0 Sound dB 86", "5 Sound dB 90", "6 Sound dB 83", "7 Sound dB 81.9"}
            << QStringList{"5 raised sound_above 90.0 90.0", "7 cleared sound_above 81.9 90.0"};
        QTest::newRow("a limit in C holds for readings in F; one below with hysteresis")
            << "temperature_above=8\ntemperature_below=2\ntemperature_hysteresis=0.5"
            << QStringList{"0 Temp F 48.2", "1 Temp C 1.5", "2 Temp C 2.4", "3 Temp F 36.7"}
            << QStringList{
                   "0 raised temperature_above 9.0 9.0", "1 cleared temperature_above 1.5 9.0",
                   "1 raised temperature_below 1.5 1.5", "3 cleared temperature_below 2.6 1.5"};
        QTest::newRow("a sound overload leaves it be, a light overload is above")
            << "sound_above=85\nsound_for=2\nlight_above=1000"
            << QStringList{"0 Sound dB 86", "1 Sound dB O.L", "2 Sound dB 86", "3 Light LUX OL",
                           "4 Light LUX 20"}
            << QStringList{"2 raised sound_above 86.0 86.0", "3 cleared sound_above none 86.0",
                           "3 raised light_above none 1000.0", "4 cleared light_above 20.0 1000.0"};
        QTest::newRow("another function ends it")
            << "humidity_below=30"
            << QStringList{"0 Humidity %RH 25", "1 Humidity %RH 26", "2 Sound dB 60"}
            << QStringList{"0 raised humidity_below 25.0 25.0",
                           "2 cleared humidity_below none 25.0"};
    }
    void tellsWhatTheReadingsMake() {
        QFETCH(QString, rules);
        QFETCH(QStringList, readings);
        QFETCH(QStringList, told);
        const core::AlarmSettings settings =
            settingsOf(m_dir, "rules.conf", "[alarm]\n" + rules + '\n');
        QVERIFY2(settings.mistakes.isEmpty(), qPrintable(settings.mistakes.join('\n')));
        core::AlarmWatch watch(settings.rules);
        const auto number = [](const std::optional<double> &v) {
            return v ? QString::number(*v, 'f', 1) : QStringLiteral("none");
        };
        QStringList changes;
        for (const QString &reading : readings) {
            const QStringList f = reading.split(u' ');
            for (const core::AlarmEvent &e :
                 watch.take(f[1], f[2], core::strictNumber(f[3]), f[0].toLongLong())) {
                const char *change = e.change == core::AlarmEvent::Change::Raised    ? "raised"
                                     : e.change == core::AlarmEvent::Change::Cleared ? "cleared"
                                                                                     : "passed";
                changes.append(
                    QStringLiteral("%1 %2 %3 %4 %5")
                        .arg(e.at)
                        .arg(QLatin1String(change), e.name, number(e.value), number(e.peak)));
            }
        }
        QCOMPARE(changes, told);
    }

    // A meter's own file wins key by key; each mistake named with its file and line.
    void readsTheRulesAsWritten() {
        settingsOf(m_dir, "envmeter.conf",
                   "[mqtt]\nhost=x\n[alarm]\nsound_above=85\nsound_for=15m\nsilent_for=1h\n"
                   "command=notify-send \"Meter\"\n");
        const QString common = m_dir.filePath("envmeter.conf");
        settingsOf(m_dir, "lab.conf", "[alarm]\nsound_above=90\ntemperature_below=35.6F\n");
        const core::AlarmSettings both =
            core::readAlarmSettings(common, m_dir.filePath("lab.conf"));
        QVERIFY(both.mistakes.isEmpty());
        QCOMPARE(both.rules.size(), 2u);
        QCOMPARE(both.rules[0].limit, 90.0);
        QCOMPARE(both.rules[0].forSeconds, 900.0);
        QCOMPARE(both.rules[1].unit, core::kUnitFahrenheit);
        QCOMPARE(both.silentSeconds, 3600.0);
        QCOMPARE(both.command, "notify-send \"Meter\"");

        const core::AlarmSettings wrong =
            settingsOf(m_dir, "wrong.conf",
                       "[alarm]\nsound_above=loud\nhumidity_for=5\nsilent_for=soon\nnoise_above=3\n"
                       "light_above=1\nlight_above=2\n");
        for (const char *said :
             {"wrong.conf:2: sound_above=loud: write a number",
              "wrong.conf:3: humidity_for= without", "wrong.conf:4: silent_for=soon",
              "wrong.conf:5: unknown key \"noise_above\"",
              "wrong.conf:7: light_above is set again (first on line 6)"})
            QVERIFY2(wrong.mistakes.join('\n').contains(QLatin1String(said)),
                     qPrintable(wrong.mistakes.join('\n')));
    }
};

QTEST_GUILESS_MAIN(TestAlarmWatch)
#include "tst_alarm_watch.moc"
