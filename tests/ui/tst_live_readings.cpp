#include "../log/sqlite_cli.h"
#include "core/clock.h"
#include "core/message_boxes.h"
#include "ui/main_window/program.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using ui::ControlId;

// The program reading the simulated meter over a pseudo-terminal at the line's real pace, and
// its log read back with sqlite3.
class TestLiveReadings : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QProcess m_meter;
    QStringList m_displays; ///< "FUN|DATA|UNIT" of each script line, in order

    QString path(const char *name) const { return m_dir.filePath(QString::fromLatin1(name)); }

    void startMeter() {
        QFile script(path("readings.txt"));
        QVERIFY(script.open(QIODevice::WriteOnly));
        for (int i = 0; i < 40; ++i) {
            const double value = 40.0 + 0.5 * i;
            const bool humidity = i % 5 == 4;
            script.write(QStringLiteral("%1 %2 RS232 *2\n")
                             .arg(value, 0, 'f', 1)
                             .arg(humidity ? "%RH" : "dB")
                             .toLatin1());
            m_displays.append(QStringLiteral("%1|%2|%3")
                                  .arg(humidity ? "Humidity" : "Sound")
                                  .arg(value)
                                  .arg(humidity ? "%RH" : "dB"));
        }
        script.close();
        m_meter.start(QStringLiteral(METER_SIM),
                      {"--link", path("COM1"), "--script", path("readings.txt"), "--loop"});
        QTRY_VERIFY(QFile::exists(path("COM1")));
        qputenv("ENVMETER_COM1", path("COM1").toLocal8Bit());
    }

    /// Every record is a display the meter sent, in the order sent (none repeated; a busy
    /// machine may make the program skip a few), numbered from 0 without gaps, with time stamps
    /// that never go back.
    void checkLog(int atLeast) {
        const QStringList rows =
            sqlite3(path("db1.mdb"), "SELECT AAA, BBB, CCC, DDD, substr(EEE, 1, 8) FROM b1")
                .split('\n');
        QVERIFY2(rows.size() >= atLeast, qPrintable(QString::number(rows.size())));
        qsizetype previous = -1;
        QString previousTime;
        for (qsizetype no = 0; no < rows.size(); ++no) {
            const QStringList fields = rows[no].split('|');
            QCOMPARE(fields[0].toLongLong(), no);
            const qsizetype index = m_displays.indexOf(fields.mid(1, 3).join('|'));
            QVERIFY2(index >= 0, qPrintable(rows[no]));
            if (previous >= 0) {
                const qsizetype step = (index - previous + m_displays.size()) % m_displays.size();
                QVERIFY2(step >= 1 && step <= 8, qPrintable(rows[no]));
            }
            QVERIFY(fields[4] >= previousTime || previousTime.startsWith("23"));
            previous = index;
            previousTime = fields[4];
        }
    }

  private slots:
    void logsTheReadingsTheLineDelivers() {
        createdLog(path("db1.mdb"));
        startMeter();
        core::SystemClock clock;
        core::RecordingMessageBoxes messages;
        ui::Program program(m_dir.path(), clock, &messages);
        program.start();
        emit program.form1().toolbarButtonClicked("bb");
        emit program.form1().toolbarButtonClicked("dd");
        QCOMPARE(program.model().text(ControlId::Text9), "ONLine");
        QTRY_VERIFY_WITH_TIMEOUT(program.model().fields.NextRecordNo >= 20, 20000);
        checkLog(20);

        // The other side goes away mid-stream.
        m_meter.terminate();
        QVERIFY(m_meter.waitForFinished(5000));
        QTRY_COMPARE(program.model().text(ControlId::Text9), "OFFLine");
        QTRY_COMPARE(messages.shown().size(), 1);
        QVERIFY(messages.shown().first().contains("was lost"));
        QCOMPARE(program.model().control(ControlId::Picture4).backColour, (core::Rgb{0, 0, 255}));
        checkLog(program.model().fields.NextRecordNo);
        QCOMPARE(sqlite3(path("db1.mdb"), "PRAGMA integrity_check"), "ok");
    }
};

QTEST_MAIN(TestLiveReadings)
#include "tst_live_readings.moc"
