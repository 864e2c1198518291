#include "../log/sqlite_cli.h"
#include "core/clock.h"
#include "log/data_source.h"
#include "log/reading_log.h"
#include "log/record_grid_model.h"
#include "recording_message_boxes.h"
#include "recording_surfaces.h"
#include "window/chart_handlers.h"
#include "window/clock_tick.h"
#include "window/start_up.h"
#include "window/window_model.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using window::ControlId;

class TestStartUp : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<window::WindowModel> m_model;
    std::unique_ptr<logbook::DataSource> m_data1;
    std::unique_ptr<logbook::RecordGridModel> m_grid;
    std::unique_ptr<RecordingSurfaces> m_boxes;
    chart::RecordingSurface *m_picture1 = nullptr;
    std::unique_ptr<window::ChartHandlers> m_chart;
    core::RecordingMessageBoxes m_messages;
    core::SystemClock m_clock;
    std::unique_ptr<logbook::ReadingLog> m_log;
    std::unique_ptr<window::StartUp> m_startUp;

    QString file(const char *name) const { return m_dir->filePath(QString::fromLatin1(name)); }

    static QByteArray bytes(const QString &path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

  private slots:
    void init() {
        m_dir = std::make_unique<QTemporaryDir>();
        m_model = std::make_unique<window::WindowModel>();
        m_data1 = std::make_unique<logbook::DataSource>();
        m_grid = std::make_unique<logbook::RecordGridModel>(*m_data1);
        m_boxes = std::make_unique<RecordingSurfaces>();
        m_picture1 = &m_boxes->plot;
        m_messages.clear();
        m_chart = std::make_unique<window::ChartHandlers>(*m_model, m_boxes->plot, m_boxes->frame,
                                                          m_boxes->wedge, m_boxes->bar);
        m_log = std::make_unique<logbook::ReadingLog>(m_dir->path(), *m_data1, *m_grid, m_clock,
                                                      m_messages);
        m_startUp = std::make_unique<window::StartUp>(*m_model, *m_data1, *m_grid, *m_log,
                                                      *m_picture1, *m_chart, m_messages);
    }

    void loadAndFirstActivationWithAnEmptyLog() {
        createdLog(file("db1.mdb"));
        m_startUp->load();
        // The start values show in the window's reference picture. Ticking the two boxes drew
        // the grid over the black plot: last the axes, pen black.
        const QList<chart::Primitive> &drawn = m_picture1->primitives();
        QCOMPARE(drawn.first().kind, chart::Primitive::Kind::Clear);
        QVERIFY(drawn.size() > 500);
        QCOMPARE(drawn.last().widthPixels, 5);
        QCOMPARE(m_picture1->foreColour(), (core::Rgb{0, 0, 0}));
        QCOMPARE(m_model->timer1(), (window::WindowModel::TimerState{false, 500}));
        QCOMPARE(bytes(file("db2.mdb")), bytes(file("db1.mdb")));
        QCOMPARE(m_model->text(ControlId::Text9), "OFFLine");

        m_startUp->activate();
        QCOMPARE(m_grid->columnCount(), 5);
        QCOMPARE(m_grid->rowCount(), 0);
        QCOMPARE(m_model->fields.LogRecordCount, 0);
        QCOMPARE(m_model->fields.NextRecordNo, 0);
        QCOMPARE(m_model->control(ControlId::Slider1).maximum, 1);
        QCOMPARE(m_model->panelText(8), "0");
        QCOMPARE(m_model->fields.StartupTicks, 1);
        QCOMPARE(m_model->timer1(), (window::WindowModel::TimerState{true, 1}));
        QVERIFY(m_messages.shown().isEmpty());
    }

    void activationFollowsTheLogAfterAModalWindow() {
        fillLog(createdLog(file("db1.mdb")), 0, 19);
        QFile::copy(file("db1.mdb"), file("db2.mdb"));
        fillLog(file("db1.mdb"), 20, 20);
        const QByteArray standby = bytes(file("db2.mdb"));
        m_startUp->load();
        QCOMPARE(bytes(file("db2.mdb")), standby);
        m_startUp->activate();
        QCOMPARE(m_model->fields.LogRecordCount, 21);
        QCOMPARE(m_model->control(ControlId::Slider1).maximum, 22);

        m_model->setPanelText(8, "7");
        m_model->setVisible(ControlId::Picture9, true);
        m_model->fields.StartupTicks = 200;
        sqlite3(file("db1.mdb"), "DELETE FROM b1 WHERE AAA > 1");
        m_startUp->activate();
        QCOMPARE(m_model->fields.LogRecordCount, 2);
        QCOMPARE(m_model->fields.NextRecordNo, 2);
        QCOMPARE(m_model->control(ControlId::Slider1).maximum, 3);
        QCOMPARE(m_model->panelText(8), "0");
        QVERIFY(!m_model->control(ControlId::Picture9).visible);
        QCOMPARE(m_model->fields.StartupTicks, 1);
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
        window::StartUp startUp(*m_model, *m_data1, *m_grid, *m_log, *m_picture1, *m_chart,
                                witness);
        startUp.load();
        startUp.activate();
        QCOMPARE(witness.shown.size(), 1);
        QVERIFY(witness.shown.first().contains(QDir::toNativeSeparators(file("db1.mdb"))));
        QVERIFY(witness.standbyThere);
        QCOMPARE(sqlite3(file("db1.mdb"), "SELECT count(*) FROM b1"), "0");
        QCOMPARE(bytes(file("db2.mdb")), bytes(file("db1.mdb")));
    }

    void unwritableDirectoryIsSaidAndTheWindowStillStarts() {
        logbook::ReadingLog log(m_dir->filePath("no/such/folder"), *m_data1, *m_grid, m_clock,
                                m_messages);
        window::StartUp startUp(*m_model, *m_data1, *m_grid, log, *m_picture1, *m_chart,
                                m_messages);
        startUp.load();
        startUp.activate();
        QVERIFY(m_messages.shown().first().contains("could not be created"));
        QCOMPARE(m_model->fields.LogRecordCount, 0);
        QCOMPARE(m_model->timer1(), (window::WindowModel::TimerState{true, 1}));
    }

    void foreignLogIsLeftAloneAndSaidOnce() {
        QFile foreign(file("db1.mdb"));
        QVERIFY(foreign.open(QIODevice::WriteOnly));
        foreign.write("my notes, not a log\n");
        foreign.close();
        m_startUp->load();
        m_startUp->activate();
        m_startUp->activate();
        QCOMPARE(m_messages.shown().size(), 1);
        QVERIFY(m_messages.shown().first().contains(QDir::toNativeSeparators(file("db1.mdb"))));
        QCOMPARE(bytes(file("db1.mdb")), "my notes, not a log\n");
        QCOMPARE(m_grid->rowCount(), 0);
        QCOMPARE(m_model->fields.NextRecordNo, 0);
    }

    void clockRunsAfterTwoStartUpTicks() {
        createdLog(file("db1.mdb"));
        core::SettableClock clock(QDateTime(QDate(2001, 3, 7), QTime(9, 5, 2)));
        m_startUp->load();
        m_model->setBusyPointer(true);
        m_model->setSplashOpen(true);
        m_startUp->activate();
        window::Timer1Tick(*m_model, clock);
        QCOMPARE(m_model->fields.StartupTicks, 2);
        QCOMPARE(m_model->timer1().intervalMs, 1);
        window::Timer1Tick(*m_model, clock);
        QCOMPARE(m_model->fields.StartupTicks, 200);
        QCOMPARE(m_model->timer1(), (window::WindowModel::TimerState{true, 500}));
        QVERIFY(!m_model->busyPointer());
        QVERIFY(!m_model->splashOpen());
        QCOMPARE(m_model->text(ControlId::Text11), "12-05-2000 12:23:45");
        window::Timer1Tick(*m_model, clock);
        QCOMPARE(m_model->text(ControlId::Text11), "03-07-2001 09:05:02");
        m_startUp->activate(); // the sequence starts again: the clock waits two ticks
        clock.advanceMs(1000);
        window::Timer1Tick(*m_model, clock);
        QCOMPARE(m_model->text(ControlId::Text11), "03-07-2001 09:05:02");
    }
};

QTEST_GUILESS_MAIN(TestStartUp)
#include "tst_start_up.moc"
