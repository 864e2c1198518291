#include "../log/sqlite_cli.h"
#include "scenario_script.h"
#include "test_files.h"
#include "window_handlers.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using chart::Primitive;
using Kind = chart::Primitive::Kind;
using window::ControlId;

// The pipeline on the window model, fed through an in-memory line with frames the simulated
// meter's encoder builds; the log is a real SQLite file in a temporary folder.
class TestReceivePipeline : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<WindowHandlers> m_w;

    /// One receive event bringing a display twice, as the line does.
    void reading(const char *display) {
        const metersim::Script script = metersim::parseScript(QString::fromLatin1(display));
        QVERIFY2(script.error.isEmpty(), qPrintable(script.error));
        m_w->line.deliver(script.steps.front().bytes);
        m_w->log.writeQueued();
    }
    QString text(ControlId id) const { return m_w->model.text(id); }
    QString lastRecord() const {
        return sqlite3(m_dir->filePath("db1.mdb"),
                       "SELECT AAA, BBB, CCC, DDD FROM b1 ORDER BY rowid DESC LIMIT 1");
    }

  private slots:
    void init() {
        m_dir = std::make_unique<QTemporaryDir>();
        createdLog(m_dir->filePath("db1.mdb"));
        open();
    }
    /// The window loaded and activated, the line open on COM1.
    void open() {
        m_w = std::make_unique<WindowHandlers>(m_dir->path());
        m_w->boxes.bar.setBackColour({0, 0, 0}); // the level bar's designed colours
        m_w->boxes.bar.setForeColour({255, 255, 0});
        m_w->startUp.load();
        m_w->startUp.activate();
        m_w->port.switchCommPort();
        m_w->port.toggleLine();
    }
    void cleanup() { m_w.reset(); }

    void bytesWithoutAFrameOnlyFlipTheLamp() {
        QCOMPARE(text(ControlId::lineState), "ONLine");
        m_w->line.deliver(QByteArray(28, '\x07'));
        QCOMPARE(m_w->model.control(ControlId::receiveLamp).backColour, (core::Rgb{0, 255, 0}));
        m_w->line.deliver(QByteArray(30, '\x00'));
        QCOMPARE(m_w->model.control(ControlId::receiveLamp).backColour, (core::Rgb{255, 0, 0}));
        QCOMPARE(text(ControlId::displayValue), QString());
        QCOMPARE(m_w->session.nextRecordNo(), 0);
    }

    void showsScalesPlotsAndLogsEachReading() {
        reading("_23.5 C RS232");
        QCOMPARE(text(ControlId::functionName), "Temp");
        QCOMPARE(text(ControlId::displayValue), "23.5");
        QCOMPARE(text(ControlId::unit), "C");
        QVERIFY(m_w->model.control(ControlId::rs232Annunciator).visible);
        // First-reading row, then the C row: the axis printed twice over, erasing each time.
        QCOMPARE(text(ControlId::vertMax), "400.0");
        QCOMPARE(text(ControlId::vertMin), "-50.00");
        QCOMPARE(m_w->boxes.frame.primitives(Kind::Text).size(), 36);
        QCOMPARE(m_w->model.panelText(4), "23.5");
        QCOMPARE(lastRecord(), "0|Temp|23.5|C");
        QCOMPARE(text(ControlId::gaugeValue), "NULL");

        reading("75.0_ F");
        QCOMPARE(text(ControlId::vertMax), "800.0");
        QCOMPARE(text(ControlId::vertMin), "-58.00");
        reading("1000 C");
        QCOMPARE(text(ControlId::vertMax), "1300");
        QCOMPARE(text(ControlId::vertMin), "400.0");
        QCOMPARE(m_w->model.panelText(4), "23.5");
        QCOMPARE(m_w->model.panelText(6), "1000");
        QCOMPARE(m_w->chart.trend().count(), 3);
        QCOMPARE(m_w->session.nextRecordNo(), 3);
        QCOMPARE(m_w->chart.trend().values()[2], 1000.0f);

        reading("131.2 dB");
        QCOMPARE(text(ControlId::displayValue), "O.L");
        QCOMPARE(m_w->chart.trend().values()[3], 130.0f);
        QCOMPARE(text(ControlId::vertMax), "130");
        QCOMPARE(text(ControlId::vertMin), "35");
        QCOMPARE(lastRecord(), "3|Sound|O.L|dB");
        QCOMPARE(m_w->model.control(ControlId::functionName).fontSize, 50.0);
        reading("55.2 %RH");
        QCOMPARE(m_w->model.control(ControlId::functionName).fontSize, 36.0);
        QCOMPARE(lastRecord(), "4|Humidity|55.2|%RH");
    }

    void lightReadingsChooseTheirTextsAndGauges() {
        reading("25.00 LUX");
        QCOMPARE(text(ControlId::vertMax), "40.00");
        QCOMPARE(text(ControlId::displayValue), "25.00");
        QCOMPARE(lastRecord(), "0|Light|25|LUX");
        QCOMPARE(text(ControlId::gaugeValue), "62 %");
        QCOMPARE(m_w->model.fields.lastLevelPct, 62);
        QCOMPARE(m_w->boxes.wedge.primitives().size(), 55 + 21); // reset, then six rows lit
        QCOMPARE(m_w->boxes.bar.primitives().last().x2, 2278.0); // 62 % of 3675 is 2278.5: to even

        reading("10.L_ LUX"); // overload while Vert Max is still "40.00"
        QCOMPARE(lastRecord(), "1|Light|O.L|LUX");
        QCOMPARE(text(ControlId::displayValue), "10.");
        QCOMPARE(m_w->chart.trend().values()[1], 40.0f);

        reading("250.0 LUX X10"); // the point moved: range row
        QCOMPARE(text(ControlId::vertMax), "400");
        QCOMPARE(lastRecord(), "2|Light|2500|LUX");
        QCOMPARE(text(ControlId::displayValue), "250.0");
        reading("25.00 LUX");
        QCOMPARE(text(ControlId::vertMax), "40");
        m_w->boxes.bar.forget();
        reading("10.L_ LUX");
        QCOMPARE(lastRecord(), "4|Light|O.L|LUX");
        QCOMPARE(text(ControlId::displayValue), "O.L.");
        QCOMPARE(m_w->chart.trend().values()[4], 40.0f);
        // 62 % down to 2 %: the band beyond is erased in the background colour, pen restored.
        QCOMPARE(m_w->boxes.bar.primitives().first().colour, (core::Rgb{0, 0, 0}));
        QCOMPARE(m_w->boxes.bar.foreColour(), (core::Rgb{255, 255, 0}));
        reading("_0.00 LUX");
        QCOMPARE(text(ControlId::displayValue), "0");
        QCOMPARE(lastRecord(), "5|Light|0|LUX");
    }

    void alarmsAtTheLimitsWithoutLatching() {
        m_w->model.setText(ControlId::highAlarmLimit, "50");
        m_w->model.setText(ControlId::lowAlarmLimit, "20");
        reading("50.00 dB");
        QCOMPARE(m_w->model.panelText(2), "ON");
        QVERIFY(m_w->model.control(ControlId::highAlarmLamp).visible);
        QCOMPARE(m_w->beeps, 1);
        reading("19.9_ %RH");
        QVERIFY(m_w->model.control(ControlId::highAlarmLamp).visible);
        QVERIFY(m_w->model.control(ControlId::lowAlarmLamp).visible);
        reading("30.0_ %RH");
        QCOMPARE(m_w->model.panelText(2), "OFF");
        QVERIFY(!m_w->model.control(ControlId::highAlarmLamp).visible);
        QVERIFY(!m_w->model.control(ControlId::lowAlarmLamp).visible);
        QCOMPARE(m_w->beeps, 2);
    }

    void clearingCommandsResetWhatTheySay() {
        reading("40.00 dB");
        reading("60.00 dB");
        m_w->toolbar.onToolbarButtonClick(window::toolbar::kClearScreen);
        QCOMPARE(m_w->chart.trend().count(), 0);
        QCOMPARE(m_w->grid.rowCount(), 2);
        m_w->toolbar.onToolbarButtonClick("GG"); // keys are exact
        m_w->toolbar.onToolbarButtonClick("zz");
        QCOMPARE(m_w->grid.rowCount(), 2);
        // Emptied but not read again (a table without the column EEE): said, nothing reset.
        const QString log = m_dir->filePath("db1.mdb");
        sqlite3(log, "ALTER TABLE b1 RENAME TO kept; CREATE TABLE b1(AAA, BBB, CCC, DDD);");
        m_w->toolbar.onToolbarButtonClick(window::toolbar::kClearAll);
        QCOMPARE(m_w->messages.shown().size(), 1);
        QVERIFY(m_w->messages.shown()[0].contains("could not be read again"));
        QCOMPARE(m_w->session.nextRecordNo(), 2);
        QCOMPARE(m_w->model.panelText(4), "40");
        sqlite3(log, "DROP TABLE b1; ALTER TABLE kept RENAME TO b1;");
        m_w->toolbar.onToolbarButtonClick(window::toolbar::kClearAll);
        QCOMPARE(sqlite3(log, "SELECT count(*) FROM b1"), "0");
        QCOMPARE(m_w->grid.rowCount(), 0);
        QCOMPARE(m_w->session.nextRecordNo(), 0);
        QCOMPARE(m_w->model.panelText(4), QString());
        reading("50.00 dB"); // the line stayed open: numbering and extremes start again
        QCOMPARE(lastRecord(), "0|Sound|50|dB");
        QCOMPARE(m_w->model.panelText(4), "50");
        QCOMPARE(m_w->model.panelText(6), "50");
        QCOMPARE(m_w->exits, 0);
        m_w->toolbar.onToolbarButtonClick(window::toolbar::kExit);
        QCOMPARE(m_w->exits, 1);
    }

    void recordLimitRunsInTheSameEvent() {
        m_w.reset();
        fillLog(m_dir->filePath("db1.mdb"), 0, logbook::kRecordLimit - 2);
        // Backups of earlier limits are kept under names of their own, never replaced.
        fillLog(createdLog(m_dir->filePath("maxdb1.mdb")), 0, 2);
        const QString taken = m_dir->filePath("maxdb1-2026-12-04-140327.mdb");
        QVERIFY(writeFile(taken, "taken"));
        open();
        QCOMPARE(m_w->session.nextRecordNo(), 99999);
        reading("44.4_ %RH");
        QCOMPARE(sqlite3(m_dir->filePath("maxdb1.mdb"), "SELECT count(*), max(AAA) FROM b1"),
                 "100000|99999");
        QCOMPARE(
            sqlite3(m_dir->filePath("maxdb1-2026-12-04-140327-2.mdb"), "SELECT count(*) FROM b1"),
            "3");
        QCOMPARE(bytesOf(taken), "taken");
        QCOMPARE(sqlite3(m_dir->filePath("db1.mdb"), "SELECT count(*) FROM b1"), "0");
        QCOMPARE(text(ControlId::lineState), "OFFLine");
        QVERIFY(!m_w->line.isOpen());
        QCOMPARE(m_w->model.control(ControlId::receiveLamp).backColour, (core::Rgb{0, 0, 255}));
        QCOMPARE(m_w->session.nextRecordNo(), 0);
        QCOMPARE(m_w->chart.trend().count(), 0);
        QCOMPARE(m_w->model.control(ControlId::historySlider).maximum, 1);
        QCOMPARE(m_w->messages.shown(),
                 QStringList{"Record is out of range,had auto backup to maxdb1.mdb"});
    }

    void aBackupThatFailsKeepsTheLogAndResetsNothing() {
        fillLog(m_dir->filePath("db1.mdb"), 0, 9);
        QVERIFY(QDir(m_dir->path()).mkdir("maxdb1.mdb"));
        open();
        m_w->session.restartNumberingAt(logbook::kRecordLimit - 1);
        reading("44.4_ %RH");
        // The line goes on again: readings are taken as before, and the next tries again.
        QCOMPARE(text(ControlId::lineState), "ONLine");
        QVERIFY(m_w->line.isOpen());
        QCOMPARE(m_w->messages.shown().size(), 1);
        QVERIFY(m_w->messages.shown()[0].contains(
            QDir::toNativeSeparators(m_dir->filePath("maxdb1.mdb"))));
        QVERIFY(m_w->messages.shown()[0].contains("keeps all its records"));
        QCOMPARE(sqlite3(m_dir->filePath("db1.mdb"), "SELECT count(*) FROM b1"), "11");
        QCOMPARE(m_w->gridSource.databaseName(), m_dir->filePath("db1.mdb"));
        QCOMPARE(m_w->grid.rowCount(), 11);
        QCOMPARE(m_w->session.nextRecordNo(), logbook::kRecordLimit);
    }
};

QTEST_GUILESS_MAIN(TestReceivePipeline)
#include "tst_receive_pipeline.moc"
