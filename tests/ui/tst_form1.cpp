#include "../log/sqlite_cli.h"
#include "chart/surface.h"
#include "core/clock.h"
#include "core/message_boxes.h"
#include "log/data_source.h"
#include "log/record_grid_model.h"
#include "ui/help/form4.h"
#include "ui/main_window/clock_tick.h"
#include "ui/main_window/form1.h"
#include "ui/main_window/form1_layout.h"
#include "ui/main_window/form3.h"
#include "ui/main_window/start_up.h"
#include "ui/main_window/window_model.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <QToolButton>

#include <memory>

using ui::ControlId;

class TestForm1 : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    ui::WindowModel m_model;
    logbook::DataSource m_data1;
    logbook::RecordGridModel m_grid{m_data1};
    core::RecordingMessageBoxes m_messages;
    std::unique_ptr<ui::Form1> m_form;

    template <typename W> W *control(ControlId id) {
        return m_form->findChild<W *>(ui::controlName(id));
    }

  private slots:
    void initTestCase() {
        fillLog(createdLog(m_dir.filePath("db1.mdb")), 0, 19);
        m_form = std::make_unique<ui::Form1>(m_model, m_grid);
        ui::StartUp startUp(m_dir.path(), m_model, m_data1, m_grid,
                            m_form->surface(ControlId::Picture1), m_messages);
        startUp.load();
        m_form->show();
        startUp.activate();
        QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
    }

    void placesEveryControlAtItsDesignedPlace() {
        QCOMPARE(m_form->windowTitle(), "5710");
        const int shift = control<QWidget>(ControlId::Label1)->y() - 600 / 15;
        QVERIFY(shift >= 0);
        for (const ui::ControlLook &look : ui::form1Layout()) {
            const QWidget *widget = control<QWidget>(look.id);
            QVERIFY2(widget, ui::controlName(look.id).data());
            QVERIFY(!widget->accessibleName().isEmpty());
            if (look.kind == ui::ControlKind::Toolbar)
                continue;
            const int top = look.container == ui::Container::Form ? look.top / 15 + shift : -1;
            QCOMPARE(widget->width(), look.width / 15);
            QCOMPARE(widget->height(), look.height / 15);
            QCOMPARE(widget->x(), look.left / 15);
            if (top >= 0)
                QCOMPARE(widget->y(), top);
        }
        QCOMPARE(control<QWidget>(ControlId::Picture1)->parentWidget(),
                 control<QWidget>(ControlId::Picture2));
    }

    void toolbarButtonsAreNamedByCaptionAndDispatchByKey() {
        QSignalSpy clicked(m_form.get(), &ui::Form1::toolbarButtonClicked);
        QStringList names;
        for (QToolButton *button :
             control<QWidget>(ControlId::Toolbar1)->findChildren<QToolButton *>()) {
            if (button->accessibleName().isEmpty())
                continue;
            names.append(button->accessibleName());
            QTest::mouseClick(button, Qt::LeftButton);
        }
        QCOMPARE(names, QStringList({"Exit", "Comm Port", "Print Step", "OffLine/OnLine",
                                     "Data Save/Load", "Clear Screen", "Clear All"}));
        QCOMPARE(clicked.size(), 7);
        QCOMPARE(clicked.at(3).first().toString(), "dd");
    }

    void mirrorsTheModelBothWays() {
        m_model.setText(ControlId::Text9, "ONLine");
        QCOMPARE(control<QLabel>(ControlId::Text9)->text(), "ONLine");
        m_model.setVisible(ControlId::Label22, true);
        QVERIFY(control<QLabel>(ControlId::Label22)->isVisible());
        m_model.setPanelText(4, "12.5");
        QCOMPARE(m_form->findChild<QLabel *>("StatusBar1Panel4")->text(), "12.5");

        QLineEdit *vertMin = control<QLineEdit>(ControlId::Text6);
        vertMin->selectAll();
        QTest::keyClicks(vertMin, "-50");
        QCOMPARE(m_model.text(ControlId::Text6), "-50");
        QTest::mouseClick(control<QCheckBox>(ControlId::Check2), Qt::LeftButton);
        QCOMPARE(m_model.control(ControlId::Check2).value, 0);
        QComboBox *background = control<QComboBox>(ControlId::ImageCombo1);
        QCOMPARE(background->currentText(), "Black");
        QCOMPARE(background->count(), 16);
        QSlider *slider = control<QSlider>(ControlId::Slider1);
        QCOMPARE(slider->maximum(), 21);
        slider->setValue(5);
        QCOMPARE(m_model.control(ControlId::Slider1).value, 5);
        m_model.setMaximum(ControlId::Slider1, 3);
        QCOMPARE(slider->value(), 3);
    }

    void helpWindowReadsItsFileEachTimeItOpens() {
        const QString path = m_dir.filePath("5710.rtf");
        const auto shownText = [this] {
            help::Form4 form4(m_dir.path());
            return form4.windowTitle() + ": " +
                   form4.findChild<QTextBrowser *>("RichTextBox1")->toPlainText();
        };
        QVERIFY(shownText().contains(QDir::toNativeSeparators(path)));
        for (const char *word : {"First", "Second"}) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(QByteArray("{\\rtf1\\b ") + word + "\\b0\\par}");
            file.close();
            QCOMPARE(shownText().trimmed(), QStringLiteral("5710: ") + word);
        }
    }

    void splashClosesWhenTheStartUpTicksEnd() {
        ui::Form3 splash(m_model);
        splash.show();
        QVERIFY(m_model.splashOpen());
        m_model.fields.StartupTicks = 1;
        const core::SettableClock clock(QDateTime::currentDateTime());
        ui::Timer1Tick(m_model, clock);
        QVERIFY(splash.isVisible());
        ui::Timer1Tick(m_model, clock);
        QVERIFY(!splash.isVisible());
    }

    // The whole window against a reference kept in the repository. Set
    // ENVMETER_UPDATE_REFERENCE=1 to write a new one after a deliberate change of the look.
    void looksAsTheReference() {
        ui::WindowModel model;
        logbook::DataSource data1;
        logbook::RecordGridModel grid(data1);
        ui::Form1 form(model, grid);
        ui::StartUp startUp(m_dir.path(), model, data1, grid, form.surface(ControlId::Picture1),
                            m_messages);
        int plotRepaints = 0;
        form.surface(ControlId::Picture1).setRepaintHandler([&] { ++plotRepaints; });
        startUp.load();
        form.show();
        startUp.activate();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QCOMPARE(plotRepaints, 1);
        const QImage shot = form.grab().toImage().convertToFormat(QImage::Format_RGB32);
        const QString reference = QStringLiteral(REFERENCE_DIR "/form1.png");
        if (qEnvironmentVariableIsSet("ENVMETER_UPDATE_REFERENCE"))
            QVERIFY(shot.save(reference));
        const QImage expected = QImage(reference).convertToFormat(QImage::Format_RGB32);
        QCOMPARE(shot.size(), expected.size());
        int differing = 0;
        for (int y = 0; y < shot.height(); ++y)
            for (int x = 0; x < shot.width(); ++x) {
                const QRgb a = shot.pixel(x, y);
                const QRgb b = expected.pixel(x, y);
                differing += std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) +
                                 std::abs(qBlue(a) - qBlue(b)) >
                             48;
            }
        QVERIFY2(differing <= shot.width() * shot.height() / 200,
                 qPrintable(QStringLiteral("%1 pixels differ").arg(differing)));
    }
};

QTEST_MAIN(TestForm1)
#include "tst_form1.moc"
