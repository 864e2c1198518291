#include "../image_compare.h"
#include "../log/sqlite_cli.h"
#include "app/envmeter/program.h"
#include "chart/image_surface.h"
#include "core/clock.h"
#include "core/settings_file.h"
#include "fake_serial_line.h"
#include "log/data_source.h"
#include "log/record_grid_model.h"
#include "mqtt_broker.h"
#include "publish/publish_settings.h"
#include "recording_message_boxes.h"
#include "scenario_script.h"
#include "serial_output.h"
#include "statistics/log_history.h"
#include "test_files.h"
#include "views/help/help_window.h"
#include "views/main_window/main_window.h"
#include "views/statistics/statistics_window.h"
#include "window/main_window_layout.h"
#include "window/window_model.h"

#include <QAccessible>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QSlider>
#include <QSpinBox>
#include <QTableView>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>
#include <QToolButton>

#include <QtGui/private/qguiapplication_p.h>
#include <qpa/qplatformaccessibility.h>
#include <qpa/qplatformintegration.h>

#include <memory>

#include <sys/stat.h>

using window::ControlId;

namespace {

/// What assistive technology was told: the object and the kind of each event.
QList<std::pair<QObject *, QAccessible::Event>> g_told;

void recordTold(QAccessibleEvent *event) { g_told.append({event->object(), event->type()}); }

/// What a screen reader or voice control does to tick a box, pick an option or a list entry.
void toggle(QAccessibleInterface *control) {
    control->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
}

} // namespace

class TestMainWindow : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    core::SettableClock m_clock{QDateTime(QDate(2026, 12, 5), QTime(14, 30, 0))};
    core::RecordingMessageBoxes m_messages;
    meter::FakeSerialLine m_line;
    std::unique_ptr<app::Program> m_program;
    views::MainWindow *m_form = nullptr;

    template <typename W> W *control(ControlId id) {
        return m_form->findChild<W *>(window::controlName(id));
    }
    QAccessibleInterface *accessible(ControlId id) {
        return QAccessible::queryAccessibleInterface(control<QWidget>(id));
    }
    QString accessibleName(ControlId id) { return accessible(id)->text(QAccessible::Name); }
    bool told(ControlId id, QAccessible::Event event) {
        return g_told.contains(
            std::pair<QObject *, QAccessible::Event>(control<QWidget>(id), event));
    }

  private slots:
    void initTestCase() {
        // As when a screen reader runs: Qt then tells assistive technology of every change.
        QGuiApplicationPrivate::platformIntegration()->accessibility()->setActive(true);
        QAccessible::installUpdateHandler(recordTold);
        // The publishing settings this test writes stay its own.
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_dir.filePath("config")));
        fillLog(createdLog(m_dir.filePath("db1.mdb")), 0, 19);
        m_program = std::make_unique<app::Program>(m_dir.path(), m_clock, &m_messages, &m_line);
        m_form = &m_program->mainWindow();
        m_program->start();
        QVERIFY(QTest::qWaitForWindowExposed(m_form));
    }

    void placesEveryControlAtItsDesignedPlace() {
        QCOMPARE(m_form->windowTitle(), "5710");
        const int shift = control<QWidget>(ControlId::functionHeading)->y() - 600 / 15;
        QVERIFY(shift >= 0);
        for (const window::ControlLook &look : window::mainWindowLayout()) {
            const QWidget *widget = control<QWidget>(look.id);
            QVERIFY2(widget, window::controlName(look.id).data());
            if (look.kind == window::ControlKind::Toolbar)
                continue;
            const int top = look.container == window::Container::Form ? look.top / 15 + shift : -1;
            QCOMPARE(widget->width(), look.width / 15);
            QCOMPARE(widget->height(), look.height / 15);
            QCOMPARE(widget->x(), look.left / 15);
            if (top >= 0)
                QCOMPARE(widget->y(), top);
        }
        QCOMPARE(control<QWidget>(ControlId::plot)->parentWidget(),
                 control<QWidget>(ControlId::chartAxes));
    }

    // What a screen reader hears: what each control is for, what it shows, and every change.
    void exposesWhatEachControlShows() {
        for (const window::ControlLook &look : window::mainWindowLayout()) {
            const QAccessibleInterface *control = accessible(look.id);
            QVERIFY2(control->text(QAccessible::Name) == window::controlRole(look.id) ||
                         control->text(QAccessible::Description) == window::controlRole(look.id),
                     window::controlName(look.id).data());
        }
        QCOMPARE(accessibleName(ControlId::lineState), "OFFLine");
        QCOMPARE(accessible(ControlId::lineState)->text(QAccessible::Description), "Line state");
        QCOMPARE(accessibleName(ControlId::port), "NULL");
        QCOMPARE(accessibleName(ControlId::receiveLamp), "Blue");
        QCOMPARE(accessibleName(ControlId::batteryFine), "Battery good");
        QCOMPARE(accessible(ControlId::highAlarmLimit)->text(QAccessible::Value), "4000");
        QCOMPARE(accessible(ControlId::historySlider)->valueInterface()->currentValue(), 0);
        const QAccessibleInterface *panel1 =
            QAccessible::queryAccessibleInterface(m_form->findChild<QLabel *>("StatusBar1Panel1"));
        QCOMPARE(panel1->text(QAccessible::Name), "Buzzer");
        QCOMPARE(panel1->text(QAccessible::Description), "Status panel 1");

        g_told.clear();
        // An alarm set: raised by the reading, shown under the window's own controls and said
        // at once; gone with the line.
        const QString settings = m_dir.filePath("config/envmeter/envmeter.conf");
        QVERIFY(QDir().mkpath(QFileInfo(settings).path()));
        QVERIFY(writeFile(settings, "[alarm]\nsound_above=70\n"));
        m_program->toolbar().onToolbarButtonClick(window::toolbar::kCommPort);
        m_program->toolbar().onToolbarButtonClick(window::toolbar::kOffLineOnLine);
        m_line.deliver(metersim::parseScript(u"73.40 dB RS232").steps.front().bytes);
        auto *alarms = m_form->findChild<QLabel *>("Alarms");
        QVERIFY(alarms && alarms->isVisible());
        const QAccessibleInterface *alarm = QAccessible::queryAccessibleInterface(alarms);
        QCOMPARE(alarm->text(QAccessible::Name), "Alarms");
        QVERIFY2(alarm->text(QAccessible::Description)
                     .startsWith("Alarm sound_above raised: 73.4 dB, at or above 70 dB since "),
                 qPrintable(alarm->text(QAccessible::Description)));
        QVERIFY(
            g_told.contains(std::pair<QObject *, QAccessible::Event>(alarms, QAccessible::Alert)));
        QVERIFY(QFile::remove(settings));
        QCOMPARE(accessibleName(ControlId::lineState), "ONLine");
        QCOMPARE(accessibleName(ControlId::displayValue),
                 m_program->model().text(ControlId::displayValue));
        QCOMPARE(accessibleName(ControlId::displayValue), "73.40");
        QCOMPARE(accessibleName(ControlId::functionName), "Sound");
        QVERIFY(!accessible(ControlId::rs232Annunciator)->state().invisible);
        QCOMPARE(accessibleName(ControlId::rs232Annunciator), "RS232");
        QCOMPARE(accessibleName(ControlId::receiveLamp), "Green");
        for (ControlId id : {ControlId::lineState, ControlId::displayValue, ControlId::receiveLamp})
            QVERIFY2(told(id, QAccessible::NameChanged), window::controlName(id).data());
        m_program->toolbar().onToolbarButtonClick(window::toolbar::kOffLineOnLine);
        QCOMPARE(accessibleName(ControlId::lineState), "OFFLine");
        QVERIFY(!alarms->isVisible());
    }

    // A full log must not make a screen reader walk every cell: the grid's children are its
    // headers and the rows on screen, while the table still answers for any cell.
    void gridExposesTheRowsOnScreen() {
        QAccessibleInterface *grid = accessible(ControlId::logGrid);
        QAccessibleTableInterface *table = grid->tableInterface();
        QVERIFY(m_program->readingLog().writeQueued()); // the reading taken before
        const int records = m_program->gridSource().recordCount();
        QCOMPARE(table->rowCount(), records);
        QCOMPARE(table->columnCount(), 5);
        QCOMPARE(table->cellAt(records - 1, 1)->text(QAccessible::Name), "Sound");
        const int onScreen = grid->childCount() / 5 - 1;
        QVERIFY(onScreen > 5 && onScreen < records);
        QCOMPARE(grid->child(2)->role(), QAccessible::ColumnHeader);
        QCOMPARE(grid->child(2)->text(QAccessible::Name), "DATA");
        QCOMPARE(grid->child(5)->text(QAccessible::Name), "0");
        QCOMPARE(grid->indexOfChild(grid->child(12)), 12);

        m_program->gridSource().moveFirst();
        m_program->gridSource().moveNext(records - 1);
        QAccessibleInterface *last = grid->child(grid->childCount() - 5);
        QCOMPARE(last->text(QAccessible::Name), QString::number(records - 1));
        QVERIFY(last->state().selected);
        QCOMPARE(grid->child(5)->tableCellInterface()->rowIndex(), records - onScreen);
        m_program->gridSource().moveFirst();

        // Readings appended below the rows on screen lengthen the scroll range as a full layout
        // does, and the newest is reached at its end.
        auto *view = m_form->findChild<QTableView *>("DBGrid1");
        const int range = view->verticalScrollBar()->maximum();
        m_program->toolbar().onToolbarButtonClick(window::toolbar::kCommPort);
        m_program->toolbar().onToolbarButtonClick(window::toolbar::kOffLineOnLine);
        for (int i = 0; i < 3; ++i, QCoreApplication::processEvents())
            m_line.deliver(metersim::parseScript(u"55.5 dB").steps.front().bytes);
        m_program->toolbar().onToolbarButtonClick(window::toolbar::kOffLineOnLine);
        QTRY_COMPARE(view->verticalScrollBar()->maximum(), range + 3);
        view->doItemsLayout();
        QCOMPARE(view->verticalScrollBar()->maximum(), range + 3);
        view->scrollToBottom();
        QCOMPARE(grid->child(grid->childCount() - 5)->text(QAccessible::Name),
                 QString::number(records + 2));
        view->scrollToTop();
    }

    // With the line closed the slider walks back through the log, by keys or by assistive
    // technology; opening the line brings the live trend back.
    void sliderPlotsTheHistoryOnRelease() {
        const window::WindowFields &fields = m_program->model().fields;
        const int records = m_program->gridSource().recordCount();
        auto *slider = control<QSlider>(ControlId::historySlider);
        QTest::keyPress(slider, Qt::Key_Down); // the thumb moves down, one record back
        QCOMPARE(m_form->findChild<QLabel *>("StatusBar1Panel8")->text(), "1");
        QCOMPARE(m_program->gridSource().currentRow(), records - 2);
        QVERIFY(!fields.historyShown);
        QTest::keyRelease(slider, Qt::Key_Down);
        QVERIFY(fields.historyShown);
        QCOMPARE(fields.historyArrays[0].no, records - 2);

        accessible(ControlId::historySlider)->valueInterface()->setCurrentValue(5);
        QCOMPARE(m_program->gridSource().currentRow(), records - 6);
        QCOMPARE(fields.historyArrays[0].no, records - 6); // no release to wait for

        m_program->toolbar().onToolbarButtonClick(window::toolbar::kOffLineOnLine);
        QVERIFY(!fields.historyShown);
        m_program->toolbar().onToolbarButtonClick(window::toolbar::kOffLineOnLine);
    }

    // On a window of its own: the program's handlers would carry the commands out.
    void toolbarButtonsAreNamedByCaptionAndDispatchByKey() {
        window::WindowModel model;
        logbook::DataSource gridSource;
        logbook::RecordGridModel grid(gridSource);
        views::MainWindow form(model, grid);
        form.show();
        QSignalSpy clicked(&form, &views::MainWindow::toolbarButtonClicked);
        QStringList names;
        for (QToolButton *button :
             form.findChild<QWidget *>("Toolbar1")->findChildren<QToolButton *>()) {
            if (button->accessibleName().isEmpty())
                continue;
            names.append(button->accessibleName());
            QTest::mouseClick(button, Qt::LeftButton);
        }
        QCOMPARE(names, QStringList({"Exit", "Comm Port", "Print Step", "OffLine/OnLine",
                                     "Data Save/Load", "Clear Screen", "Clear All"}));
        QCOMPARE(clicked.size(), 7);
        QCOMPARE(clicked.at(3).first().toString(), window::toolbar::kOffLineOnLine);
        // From the keyboard: Enter presses a button as Space does.
        auto *commPort = form.findChild<QToolButton *>("Toolbar1Button_bb");
        for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Space})
            QTest::keyClick(commPort, key);
        QCOMPARE(clicked.size(), 10);
        QCOMPARE(clicked.at(9).first().toString(), window::toolbar::kCommPort);
    }

    // Assistive technology's actions run the handlers a click runs, and the grid's row chosen
    // by a click or the keys is the log's current record.
    void everyWayInDoesWhatAClickDoes() {
        QTemporaryDir dir;
        fillLog(createdLog(dir.filePath("db1.mdb")), 0, 9);
        meter::FakeSerialLine line;
        app::Program program(dir.path(), m_clock, &m_messages, &line);
        program.start();
        QVERIFY(QTest::qWaitForWindowExposed(&program.mainWindow()));
        const auto at = [&](ControlId id) {
            return QAccessible::queryAccessibleInterface(
                program.mainWindow().findChild<QWidget *>(window::controlName(id)));
        };
        const auto plotPixel = [&](int x, int y) {
            auto &plot =
                dynamic_cast<chart::ImageSurface &>(program.mainWindow().surface(ControlId::plot));
            return plot.image().pixel(x, y);
        };
        // XGrid unticked, the background chosen from the list: each runs its handler.
        const int gridRow = qRound(350 / 15.0);
        const QRgb dash = plotPixel(10, gridRow);
        toggle(at(ControlId::xGrid));
        QCOMPARE(program.model().control(ControlId::xGrid).value, 0);
        QVERIFY(dash != qRgb(0, 0, 0) && plotPixel(10, gridRow) == qRgb(0, 0, 0));
        QAccessibleInterface *backgrounds = at(ControlId::backgroundColour)->child(0);
        for (int i = 0; i < backgrounds->childCount(); ++i)
            if (backgrounds->child(i)->text(QAccessible::Name) == "Red")
                toggle(backgrounds->child(i));
        QCOMPARE(program.mainWindow().findChild<QComboBox *>("ImageCombo1")->currentText(), "Red");
        QCOMPARE(plotPixel(200, 3), qRgb(255, 0, 0));

        auto *grid = program.mainWindow().findChild<QTableView *>("DBGrid1");
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {},
                          grid->visualRect(grid->model()->index(3, 1)).center());
        QCOMPARE(program.gridSource().currentNo(), 3);
        QTest::keyClick(grid, Qt::Key_Down);
        QCOMPARE(program.gridSource().currentNo(), 4);

        // The keyboard is never trapped: Tab leaves the grid, and every Tab stop of the window
        // shows that it has the focus.
        program.mainWindow().activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&program.mainWindow()));
        grid->setFocus();
        QTest::keyClick(grid, Qt::Key_Tab);
        QVERIFY(!grid->hasFocus());
        for (const ControlId id : {ControlId::port, ControlId::lineState, ControlId::unit}) {
            auto *box = program.mainWindow().findChild<QLabel *>(window::controlName(id));
            box->clearFocus();
            const QImage unfocused = box->grab().toImage();
            box->setFocus();
            QVERIFY2(box->grab().toImage() != unfocused, qPrintable(window::controlName(id)));
        }
    }

    void mirrorsTheModelBothWays() {
        QLineEdit *vertMin = control<QLineEdit>(ControlId::vertMin);
        vertMin->selectAll();
        QTest::keyClicks(vertMin, "-50");
        QCOMPARE(m_program->model().text(ControlId::vertMin), "-50");
        // As a screen reader or voice control puts a text in a box.
        QAccessibleInterface *vertMax = accessible(ControlId::vertMax);
        vertMax->editableTextInterface()->replaceText(0, vertMax->textInterface()->characterCount(),
                                                      "50");
        QCOMPARE(m_program->model().text(ControlId::vertMax), "50");
        QTest::keyClick(vertMin, Qt::Key_Return);
        // Rescaled through the handler, from both boxes as they read.
        QCOMPARE(m_program->model().fields.valueLabels[0], "50.00");
        QCOMPARE(m_program->model().fields.valueLabels[8], "-50.00");
        QTest::mouseClick(control<QCheckBox>(ControlId::xGrid), Qt::LeftButton);
        QCOMPARE(m_program->model().control(ControlId::xGrid).value, 0);
        m_program->model().setMaximum(ControlId::historySlider, 3);
        QCOMPARE(control<QSlider>(ControlId::historySlider)->value(), 3);
    }

    // The save/load dialog through its widgets: a name typed and saved, then loaded back over a
    // log that has grown since; the window follows the loaded log.
    void savesAndLoadsThroughTheDialog() {
        const auto withDialog = [this](const std::function<void(QDialog *)> &use) {
            QTimer::singleShot(0, m_form, [use] {
                if (auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget())) {
                    dialog->activateWindow();
                    QVERIFY(QTest::qWaitForWindowActive(dialog));
                    use(dialog);
                    if (dialog->isVisible()) // a check failed: the test goes on
                        dialog->reject();
                }
            });
            m_program->toolbar().onToolbarButtonClick(window::toolbar::kDataSaveLoad);
        };
        m_program->model().setText(ControlId::lineState, "OFFLine");
        const int saved = m_program->gridSource().recordCount();
        withDialog([](QDialog *dialog) {
            // Typed at once, the name goes into its box.
            QCOMPARE(QApplication::focusWidget(), dialog->findChild<QLineEdit *>("Text1"));
            QTest::keyClicks(QApplication::focusWidget(), " day ");
            QTest::mouseClick(dialog->findChild<QPushButton *>("Command1"), Qt::LeftButton);
        });
        QVERIFY(QFile::exists(m_dir.filePath("day.710")));
        fillLog(m_dir.filePath("db1.mdb"), saved, saved + 9);

        // As assistive technology works it: Load toggled on, OK twice before a log is chosen
        // (the focus goes to the list, which chooses nothing), the entry selected, OK.
        withDialog([](QDialog *dialog) {
            toggle(QAccessible::queryAccessibleInterface(
                dialog->findChild<QRadioButton *>("Option2")));
            auto *fileList = dialog->findChild<QListWidget *>("File1");
            QVERIFY(fileList->isVisible() && !dialog->findChild<QLineEdit *>("Text1")->isVisible());
            auto *ok = dialog->findChild<QPushButton *>("Command1");
            QTest::mouseClick(ok, Qt::LeftButton);
            QVERIFY(fileList->hasFocus());
            QTest::mouseClick(ok, Qt::LeftButton);
            QVERIFY(dialog->isVisible());
            QAccessibleInterface *list = QAccessible::queryAccessibleInterface(fileList);
            QCOMPARE(list->child(0)->text(QAccessible::Name), "day.710");
            toggle(list->child(0));
            QTest::mouseClick(ok, Qt::LeftButton);
        });
        QCOMPARE(m_program->gridSource().recordCount(), saved);
        QCOMPARE(m_program->session().nextRecordNo(), saved);
        QCOMPARE(m_program->model().control(ControlId::historySlider).maximum, saved + 1);
        QVERIFY(QFile::exists(m_dir.filePath("sosdb1.mdb")));
    }

    // "Export CSV..." while the line is open: readings go on being logged, none lost, and the
    // file holds the log as it stood at one moment, record for record.
    void exportsCsvWhileReadingsArrive() {
        const QList<QAction *> file = m_form->findChild<QMenu *>("File")->actions();
        QCOMPARE(file[0]->text(), "&Export CSV...");
        QCOMPARE(file[1]->text(), "&Statistics...");
        QCOMPARE(file[2]->text(), "&Publish...");
        QCOMPARE(file[3]->text(), "E&xit");
        if (m_program->model().text(ControlId::port) == "NULL")
            m_program->toolbar().onToolbarButtonClick(window::toolbar::kCommPort);
        m_program->toolbar().onToolbarButtonClick(window::toolbar::kOffLineOnLine);
        QCOMPARE(m_program->model().text(ControlId::lineState), "ONLine");
        const int before = m_program->gridSource().recordCount();
        QSignalSpy finished(&m_program->csvExport(), &views::CsvExportCommand::finished);
        m_program->csvExport().exportTo(m_dir.filePath("log.csv"));
        const QByteArray reading = metersim::parseScript(u"55.5 dB").steps.front().bytes;
        for (int i = 0; i < 5; ++i)
            m_line.deliver(reading);
        QVERIFY(!finished.isEmpty() || finished.wait());
        m_program->toolbar().onToolbarButtonClick(window::toolbar::kOffLineOnLine);
        QTRY_COMPARE(m_program->gridSource().recordCount(), before + 5);
        QFile csv(m_dir.filePath("log.csv"));
        QVERIFY(csv.open(QIODevice::ReadOnly));
        const QStringList lines =
            QString::fromUtf8(csv.readAll()).split("\r\n", Qt::SkipEmptyParts);
        QVERIFY(lines.size() - 1 >= before && lines.size() - 1 <= before + 5);
        const QStringList records =
            sqlite3(m_dir.filePath("db1.mdb"), "SELECT AAA, BBB, CCC, DDD, EEE FROM b1")
                .split('\n');
        for (int i = 1; i < lines.size(); ++i)
            QVERIFY(lines[i].startsWith(QString(records[i - 1]).replace('|', ',') + ','));
    }

    // "Statistics..." over the data folder's history, read as a screen reader reads it; hour by
    // hour as a chart and a table, the chart saved as PNG; the events of the alarms' rules in a
    // table of their own; then narrowed to nothing.
    void statisticsReadAsTheTablesShow() {
        QVERIFY(QDir().mkpath(QFileInfo(core::settingsFile()).path()));
        QVERIFY(writeFile(core::settingsFile(), "[alarm]\nsound_above=0\n"));
        qint64 sound = 0;
        for (const QString &log : logbook::historyFiles(m_dir.path()))
            sound += sqlite3(log, "SELECT count(*) FROM b1 WHERE BBB = 'Sound'").toLongLong();
        const QString png = m_dir.filePath("chart.png");
        QTimer::singleShot(0, m_form, [sound, png] {
            auto *window =
                qobject_cast<views::StatisticsWindow *>(QApplication::activeModalWidget());
            [&] {
                QVERIFY(window && window->objectName() == "Statistics");
                const auto table = [window](const char *name) -> QTableWidget * {
                    for (QTableWidget *t : window->findChildren<QTableWidget *>())
                        if (t->accessibleName() == name && t->isVisible())
                            return t;
                    return nullptr;
                };
                QTRY_VERIFY(table("Sound dB"));
                QAccessibleTableInterface *cells =
                    QAccessible::queryAccessibleInterface(table("Sound dB"))->tableInterface();
                QCOMPARE(cells->cellAt(0, 0)->text(QAccessible::Name), "Readings");
                QCOMPARE(cells->cellAt(0, 1)->text(QAccessible::Name), QString::number(sound));
                const auto said = [window] {
                    for (QLabel *label : window->findChildren<QLabel *>())
                        if (label->accessibleDescription() == "Computed")
                            return label->text();
                    return QString();
                };
                QVERIFY(said().contains(" from 1 log."));
                // A reading that took long enough to show its progress: gone once it is done.
                auto *progress = window->findChild<QProgressDialog *>();
                progress->show();
                for (QPushButton *button : window->findChildren<QPushButton *>())
                    if (button->text() == "&Refresh")
                        QTest::mouseClick(button, Qt::LeftButton);
                QTRY_VERIFY(!progress->isVisible());

                // HI for one quantity, as the command line takes it; a mistake said, not taken.
                const auto box = [window](const char *name) {
                    for (QLineEdit *edit : window->findChildren<QLineEdit *>())
                        if (edit->accessibleName() == name)
                            return edit;
                    return static_cast<QLineEdit *>(nullptr);
                };
                const auto rows = [&table] {
                    QStringList names;
                    for (int r = 0; r < table("Sound dB")->rowCount(); ++r)
                        names.append(table("Sound dB")->item(r, 0)->text());
                    return names;
                };
                box("HI")->clear();
                QTest::keyClicks(box("HI"), "sound=0");
                QTest::keyClick(box("HI"), Qt::Key_Return);
                QTRY_VERIFY(table("Sound dB") && rows().contains("Time at or above HI"));
                box("HI")->clear();
                QTest::keyClicks(box("HI"), "noise=3");
                QTest::keyClick(box("HI"), Qt::Key_Return);
                QTRY_VERIFY(table("Sound dB") && !rows().contains("Time at or above HI"));
                bool told = false;
                for (QLabel *label : window->findChildren<QLabel *>())
                    told = told || label->text().contains("HI needs a number");
                QVERIFY(told);

                auto *interval = window->findChild<QComboBox *>();
                QCOMPARE(interval->accessibleName(), "Interval");
                interval->setFocus();
                QTest::keyClick(interval, Qt::Key_Down); // Minute
                QTest::keyClick(interval, Qt::Key_Down); // 15 minutes
                QTest::keyClick(interval, Qt::Key_Down); // Hour
                QCOMPARE(interval->currentText(), "Hour");
                QTRY_VERIFY(table("Intervals") && table("Intervals")->rowCount() > 0);
                QVERIFY(table("Events") && table("Events")->rowCount() > 0);
                QCOMPARE(table("Events")->item(0, 0)->text(), "sound_above");
                auto *chart = window->findChild<QWidget *>("Interval chart");
                QVERIFY(chart->isVisible());
                QVERIFY(QAccessible::queryAccessibleInterface(chart)
                            ->text(QAccessible::Description)
                            .startsWith("Sound dB, Leq of "));
                window->saveChart(png);
                QVERIFY(QImage(png).width() > 100);

                for (QLineEdit *bound : window->findChildren<QLineEdit *>())
                    if (bound->accessibleName() == "From") {
                        QTest::keyClicks(bound, "2030-01-01"); // after every reading
                        QTest::keyClick(bound, Qt::Key_Return);
                    }
                QTRY_VERIFY(!table("Sound dB"));
            }();
            if (window)
                window->reject(); // also after a failed check: the test goes on
        });
        m_form->findChild<QAction *>("Statistics")->trigger();
        QVERIFY(m_messages.shown().isEmpty());
        QVERIFY(QFile::remove(core::settingsFile()));
    }

    // "Publish...": every setting named for a screen reader and taken from the keyboard; the
    // mistakes of a hand-written file shown, a meter name topics cannot carry refused by its
    // field; "Test" says what happened while the window goes on; OK keeps the settings for both
    // programs, the file's comments and every character of the password.
    void publishSettingsAreKept() {
        const int port = freePort();
        QDir().mkpath(QFileInfo(core::settingsFile()).path());
        writeFile(core::settingsFile(), "[mqtt]\n; my broker\npassword=se;cr\"et\nhots=x\n");
        QTimer::singleShot(0, m_form, [port] {
            auto *window = qobject_cast<QDialog *>(QApplication::activeModalWidget());
            [&] {
                QVERIFY(window && window->objectName() == "Publish");
                QStringList named;
                for (const QWidget *control : window->findChildren<QWidget *>())
                    named.append(control->accessibleName());
                for (const char *name :
                     {"Publish readings", "Broker", "Port", "TLS", "CA file", "User name",
                      "Password", "Topic prefix", "Meter name", "Home Assistant discovery",
                      "State interval", "Temperature unit", "Test", "Test result"})
                    QVERIFY2(named.contains(name), name);
                QVERIFY(QAccessible::queryAccessibleInterface(
                            window->findChild<QLabel *>("Settings file"))
                            ->text(QAccessible::Description)
                            .contains(":4: unknown key \"hots\""));
                QCOMPARE(window->findChild<QLineEdit *>("Password")->text(), "se;cr\"et");
                auto *meter = window->findChild<QLineEdit *>("Meter name");
                auto *ok = window->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok);
                QTest::keyClicks(meter, "Lab/1");
                QVERIFY(!ok->isEnabled());
                QVERIFY(QAccessible::queryAccessibleInterface(meter)
                            ->text(QAccessible::Description)
                            .contains("cannot hold /"));
                meter->clear();
                QVERIFY(ok->isEnabled());
                QTest::keyClick(window->findChild<QCheckBox *>("Publish readings"), Qt::Key_Space);
                QTest::keyClicks(window->findChild<QLineEdit *>("Broker"), "127.0.0.1");
                auto *portBox = window->findChild<QSpinBox *>("Port");
                portBox->selectAll();
                QTest::keyClicks(portBox, QString::number(port));
                auto *interval = window->findChild<QSpinBox *>("State interval");
                interval->selectAll();
                QTest::keyClicks(interval, "30");
                QTest::keyClick(window->findChild<QComboBox *>("Temperature unit"), Qt::Key_Down);
                QCOMPARE(QAccessible::queryAccessibleInterface(
                             window->findChild<QComboBox *>("Temperature unit"))
                             ->text(QAccessible::Value),
                         "°F");
                QAccessible::queryAccessibleInterface(window->findChild<QPushButton *>("Test"))
                    ->actionInterface()
                    ->doAction(QAccessibleActionInterface::pressAction());
                QTRY_COMPARE(window->findChild<QLabel *>("Test result")->text(),
                             QStringLiteral("Could not connect to 127.0.0.1:%1: Connection "
                                            "refused.")
                                 .arg(port));
            }();
            if (window)
                window->accept();
        });
        m_form->findChild<QAction *>("Publish")->trigger();
        const publish::PublishSettings kept =
            publish::readPublishSettings(core::settingsFile()).settings;
        QVERIFY(kept.enabled);
        QCOMPARE(kept.broker(), QStringLiteral("127.0.0.1:%1").arg(port));
        QCOMPARE(kept.password, "se;cr\"et");
        QCOMPARE(kept.interval, 30);
        QCOMPARE(kept.temperatureUnit, "F");
        QVERIFY(publish::readPublishSettings(core::settingsFile()).mistakes.isEmpty());
        QFile written(core::settingsFile());
        QVERIFY(written.open(QIODevice::ReadOnly));
        const QByteArray text = written.readAll();
        QVERIFY(text.contains("; my broker\n") && text.contains("; hots=x\n"));
        QVERIFY(m_messages.shown().isEmpty());
        QFile::remove(core::settingsFile());
    }

    void helpWindowReadsItsFileEachTimeItOpens() {
        const QString path = m_dir.filePath("5710.rtf");
        const auto shownText = [this] {
            views::HelpWindow form4(m_dir.filePath("5710.rtf"));
            return form4.windowTitle() + ": " +
                   form4.findChild<QTextBrowser *>("RichTextBox1")->toPlainText();
        };
        QVERIFY(shownText().contains(QDir::toNativeSeparators(path)));
        for (const char *word : {"First", "Second"}) {
            QVERIFY(writeFile(path, QByteArray("{\\rtf1\\b ") + word + "\\b0\\par}"));
            QCOMPARE(shownText().trimmed(), QStringLiteral("5710: ") + word);
        }
        // A file that is no file would hang the window (a FIFO) or fill the memory (a device).
        QVERIFY(QFile::remove(path) && ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0);
        QVERIFY(shownText().endsWith("it is not a regular file."));
        QVERIFY(QFile::remove(path) && QFile::link("/dev/zero", path));
        QVERIFY(shownText().endsWith("it is not a regular file."));
        QFile::remove(path);
    }

    // The real program reading a meter on a pseudo-terminal behind a symbolic link. A message
    // waiting for OK holds no reading up: a reading the log refuses, then the log gone for a
    // while, with the boxes left open. Then the adapter is pulled out and plugged in again.
    void aRealMeterLosesNoReading() {
        QString error;
        std::unique_ptr<metersim::SerialOutput> meter =
            metersim::SerialOutput::openPseudoTerminal(&error);
        QVERIFY2(meter, qPrintable(error));
        QTemporaryDir dir;
        const QString adapter = dir.filePath("ttyUSB");
        QVERIFY(QFile::link(meter->portPath(), adapter));
        qputenv("ENVMETER_COM1", QFile::encodeName(adapter));
        const QString log = createdLog(dir.filePath("db1.mdb"));
        sqlite3(log, "CREATE TRIGGER refuse BEFORE INSERT ON b1 WHEN NEW.AAA = 5 "
                     "BEGIN SELECT RAISE(ABORT, 'insert refused by trigger'); END;");
        app::Program program(dir.path(), m_clock);
        program.start();
        program.toolbar().onToolbarButtonClick(window::toolbar::kCommPort);
        program.toolbar().onToolbarButtonClick(window::toolbar::kOffLineOnLine);
        const QByteArray sent = metersim::parseScript(u"55.5 dB").steps.front().bytes;
        metersim::LinePacer atOnce(0);
        const volatile std::sig_atomic_t running = 0;
        const auto reading = [&] {
            const qint32 before = program.session().nextRecordNo();
            QVERIFY(meter->write(sent, atOnce, running));
            QTRY_COMPARE(program.session().nextRecordNo(), before + 1);
        };
        const auto shownBoxes = [] {
            QStringList texts;
            for (QWidget *window : QApplication::topLevelWidgets())
                if (auto *box = qobject_cast<QMessageBox *>(window); box && box->isVisible())
                    texts.append(box->text());
            return texts;
        };
        for (int no = 0; no <= 9; ++no)
            reading();
        QTRY_COMPARE(shownBoxes().size(), 1);
        QVERIFY(shownBoxes()[0].contains("refused a reading (insert refused by trigger)"));
        QVERIFY(QFile::rename(log, log + ".away"));
        for (int no = 10; no <= 12; ++no)
            reading();
        QVERIFY(!program.readingLog().writeQueued());
        QCOMPARE(program.readingLog().waitingCount(), 3);
        QVERIFY(QFile::rename(log + ".away", log));
        reading();
        QVERIFY(program.readingLog().writeQueued());
        QCOMPARE(sqlite3(log, "SELECT group_concat(AAA, ' ') FROM b1"),
                 "0 1 2 3 4 6 7 8 9 10 11 12 13");
        // The second message waits for the first; each is told once.
        QCOMPARE(shownBoxes().size(), 1);
        qobject_cast<QMessageBox *>(QApplication::activeModalWidget())->accept();
        QTRY_COMPARE(shownBoxes().size(), 1);
        QVERIFY(shownBoxes()[0].contains("is missing"));
        qobject_cast<QMessageBox *>(QApplication::activeModalWidget())->accept();
        reading();
        QTRY_VERIFY(shownBoxes().isEmpty());

        // Pulled out: told once; the line stays on and comes back by itself, numbering on.
        meter.reset();
        QTRY_COMPARE(shownBoxes().size(), 1);
        QVERIFY(shownBoxes()[0].contains("reconnects by itself"));
        QCOMPARE(program.model().text(ControlId::lineState), "ONLine");
        meter = metersim::SerialOutput::openPseudoTerminal(&error);
        QVERIFY(QFile::remove(adapter) && QFile::link(meter->portPath(), adapter));
        for (int tries = 0; program.session().nextRecordNo() == 15 && tries < 50; ++tries) {
            QVERIFY(meter->write(sent, atOnce, running));
            QTest::qWait(100);
        }
        reading();
        QVERIFY(program.readingLog().writeQueued());
        QCOMPARE(sqlite3(log, "SELECT count(*), max(AAA) FROM b1"), "16|16");
        QCOMPARE(shownBoxes().size(), 1);
        QCOMPARE(program.model().text(ControlId::lineState), "ONLine");
        qunsetenv("ENVMETER_COM1");
    }

    // The whole window as it first shows, against the reference kept in the repository.
    void looksAsTheReference() {
        app::Program program(m_dir.path(), m_clock, &m_messages);
        program.start();
        QVERIFY(QTest::qWaitForWindowExposed(&program.mainWindow()));
        const QImage shown = program.mainWindow().grab().toImage();
        QVERIFY(matchesReference(shown, QStringLiteral(REFERENCE_DIR "/form1.png")));
        // Too small for the comparison's tolerance to notice: the receive lamp's colour.
        const QWidget *lamp = program.mainWindow().findChild<QWidget *>("Picture4");
        QCOMPARE(shown.pixel(lamp->mapTo(&program.mainWindow(), lamp->rect().center())),
                 qRgb(0, 0, 255));
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_main_window.moc"
