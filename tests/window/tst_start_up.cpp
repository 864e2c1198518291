#include "../log/sqlite_cli.h"
#include "test_files.h"
#include "window/clock_tick.h"
#include "window_handlers.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using window::ControlId;

class TestStartUp : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<WindowHandlers> m_w;

    QString file(const char *name) const { return m_dir->filePath(QString::fromLatin1(name)); }

  private slots:
    void init() {
        m_dir = std::make_unique<QTemporaryDir>();
        m_w = std::make_unique<WindowHandlers>(m_dir->path());
    }

    void loadAndFirstActivationWithAnEmptyLog() {
        createdLog(file("db1.mdb"));
        m_w->startUp.load();
        // The start values show in the window's reference picture. Ticking the two boxes drew
        // the grid over the black plot: last the axes, pen black.
        const QList<chart::Primitive> &drawn = m_w->boxes.plot.primitives();
        QCOMPARE(drawn.first().kind, chart::Primitive::Kind::Clear);
        QVERIFY(drawn.size() > 500);
        QCOMPARE(drawn.last().widthPixels, 5);
        QCOMPARE(m_w->boxes.plot.foreColour(), (core::Rgb{0, 0, 0}));
        QCOMPARE(m_w->model.clockTimer(), (window::WindowModel::TimerState{false, 500}));
        QCOMPARE(bytesOf(file("db2.mdb")), bytesOf(file("db1.mdb")));
        QCOMPARE(m_w->model.text(ControlId::lineState), "OFFLine");

        m_w->startUp.activate();
        QCOMPARE(m_w->grid.columnCount(), 5);
        QCOMPARE(m_w->grid.rowCount(), 0);
        QCOMPARE(m_w->model.fields.logRecordCount, 0);
        QCOMPARE(m_w->session.nextRecordNo(), 0);
        QCOMPARE(m_w->model.control(ControlId::historySlider).maximum, 1);
        QCOMPARE(m_w->model.panelText(8), "0");
        QCOMPARE(m_w->model.fields.startupTicks, 1);
        QCOMPARE(m_w->model.clockTimer(), (window::WindowModel::TimerState{true, 1}));
        QVERIFY(m_w->messages.shown().isEmpty());
    }

    void activationFollowsTheLogAfterAModalWindow() {
        fillLog(createdLog(file("db1.mdb")), 0, 19);
        QFile::copy(file("db1.mdb"), file("db2.mdb"));
        fillLog(file("db1.mdb"), 20, 20);
        const QByteArray standby = bytesOf(file("db2.mdb"));
        m_w->startUp.load();
        QCOMPARE(bytesOf(file("db2.mdb")), standby);
        m_w->startUp.activate();
        QCOMPARE(m_w->model.fields.logRecordCount, 21);
        QCOMPARE(m_w->model.control(ControlId::historySlider).maximum, 22);

        m_w->model.setPanelText(8, "7");
        m_w->model.setVisible(ControlId::highAlarmLamp, true);
        m_w->model.fields.startupTicks = 200;
        sqlite3(file("db1.mdb"), "DELETE FROM b1 WHERE AAA > 1");
        m_w->startUp.activate();
        QCOMPARE(m_w->model.fields.logRecordCount, 2);
        QCOMPARE(m_w->session.nextRecordNo(), 2);
        QCOMPARE(m_w->model.control(ControlId::historySlider).maximum, 3);
        QCOMPARE(m_w->model.panelText(8), "0");
        QVERIFY(!m_w->model.control(ControlId::highAlarmLamp).visible);
        QCOMPARE(m_w->model.fields.startupTicks, 1);
    }

    // Both logs are in place by the time the user is told: the program may end meanwhile.
    void missingLogIsCreatedAndTheUserTold() {
        struct Witness final : core::MessageBoxes {
            QStringList shown;
            QString standby;
            bool standbyThere = false;
            void showMessage(const QString &text) override {
                shown.append(text);
                standbyThere = QFile::exists(standby);
            }
            bool askYesNo(const QString &, const QString &) override { return false; }
        } witness;
        witness.standby = file("db2.mdb");
        window::StartUp startUp(m_w->model, m_w->gridSource, m_w->grid, m_w->log, m_w->session,
                                m_w->boxes.plot, m_w->chart, witness);
        startUp.load();
        startUp.activate();
        QCOMPARE(witness.shown.size(), 1);
        QVERIFY(witness.shown.first().contains(QDir::toNativeSeparators(file("db1.mdb"))));
        QVERIFY(witness.standbyThere);
        QCOMPARE(sqlite3(file("db1.mdb"), "SELECT count(*) FROM b1"), "0");
        QCOMPARE(bytesOf(file("db2.mdb")), bytesOf(file("db1.mdb")));
    }

    void unwritableDirectoryIsSaidAndTheWindowStillStarts() {
        logbook::ReadingLog log(m_dir->filePath("no/such/folder"), m_w->clock, m_w->messages,
                                &m_w->logGrid);
        window::StartUp startUp(m_w->model, m_w->gridSource, m_w->grid, log, m_w->session,
                                m_w->boxes.plot, m_w->chart, m_w->messages);
        startUp.load();
        startUp.activate();
        QVERIFY(m_w->messages.shown().first().contains("could not be created"));
        QCOMPARE(m_w->model.fields.logRecordCount, 0);
        QCOMPARE(m_w->model.clockTimer(), (window::WindowModel::TimerState{true, 1}));
    }

    void foreignLogIsLeftAloneAndSaidOnce() {
        QVERIFY(writeFile(file("db1.mdb"), "my notes, not a log\n"));
        m_w->startUp.load();
        m_w->startUp.activate();
        m_w->startUp.activate();
        QCOMPARE(m_w->messages.shown().size(), 1);
        QVERIFY(m_w->messages.shown().first().contains(QDir::toNativeSeparators(file("db1.mdb"))));
        QCOMPARE(bytesOf(file("db1.mdb")), "my notes, not a log\n");
        QCOMPARE(m_w->grid.rowCount(), 0);
        QCOMPARE(m_w->session.nextRecordNo(), 0);
    }

    void clockRunsAfterTwoStartUpTicks() {
        createdLog(file("db1.mdb"));
        core::SettableClock clock(QDateTime(QDate(2001, 3, 7), QTime(9, 5, 2)));
        m_w->startUp.load();
        m_w->model.setBusyPointer(true);
        m_w->model.setSplashOpen(true);
        m_w->startUp.activate();
        window::onClockTick(m_w->model, clock);
        QCOMPARE(m_w->model.fields.startupTicks, 2);
        QCOMPARE(m_w->model.clockTimer().intervalMs, 1);
        window::onClockTick(m_w->model, clock);
        QCOMPARE(m_w->model.fields.startupTicks, 200);
        QCOMPARE(m_w->model.clockTimer(), (window::WindowModel::TimerState{true, 500}));
        QVERIFY(!m_w->model.busyPointer());
        QVERIFY(!m_w->model.splashOpen());
        QCOMPARE(m_w->model.text(ControlId::clock), "12-05-2000 12:23:45");
        window::onClockTick(m_w->model, clock);
        QCOMPARE(m_w->model.text(ControlId::clock), "03-07-2001 09:05:02");
        m_w->startUp.activate(); // the sequence starts again: the clock waits two ticks
        clock.advanceMs(1000);
        window::onClockTick(m_w->model, clock);
        QCOMPARE(m_w->model.text(ControlId::clock), "03-07-2001 09:05:02");
    }
};

QTEST_GUILESS_MAIN(TestStartUp)
#include "tst_start_up.moc"
