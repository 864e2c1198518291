#include "window_handlers.h"

#include <QTemporaryDir>
#include <QTest>

#include <memory>

using window::ControlId;

class TestPortControl : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    std::unique_ptr<WindowHandlers> m_w;

    QString state() const {
        return QStringList{m_w->model.text(ControlId::port), m_w->model.text(ControlId::lineState),
                           m_w->line.isOpen() ? "open" : "closed",
                           QString::number(m_w->line.portNumber())}
            .join(' ');
    }

  private slots:
    void init() {
        m_w = std::make_unique<WindowHandlers>(m_dir.path());
        m_w->model.setValue(ControlId::xGrid, 1);
    }

    void followsItsStateTable() {
        m_w->port.toggleLine();
        QCOMPARE(state(), "NULL OFFLine closed 1");
        QCOMPARE(m_w->line.opens(), 0);
        m_w->port.switchCommPort();
        m_w->port.switchCommPort();
        m_w->port.switchCommPort();
        QCOMPARE(state(), "COM1 OFFLine closed 1");
        m_w->port.toggleLine();
        QCOMPARE(state(), "COM1 ONLine open 1");
        QCOMPARE(m_w->line.threshold(), 28);
        QCOMPARE(m_w->line.settings(), "2400,n,8,1");
        QVERIFY(m_w->line.binary());
        m_w->model.setBackColour(ControlId::receiveLamp, {255, 0, 0});
        m_w->port.switchCommPort(); // closes and switches; the lamp keeps its colour
        QCOMPARE(state(), "COM2 OFFLine closed 2");
        QCOMPARE(m_w->model.control(ControlId::receiveLamp).backColour, (core::Rgb{255, 0, 0}));
        m_w->port.toggleLine();
        m_w->port.toggleLine();
        QCOMPARE(state(), "COM2 OFFLine closed 2");
        QCOMPARE(m_w->model.control(ControlId::receiveLamp).backColour, (core::Rgb{0, 0, 255}));
        QVERIFY(m_w->messages.shown().isEmpty());
    }

    void aPortThatCannotOpenIsSaidAndLeftChosen() {
        m_w->port.switchCommPort();
        m_w->line.refuseNextOpen();
        m_w->port.toggleLine();
        QCOMPARE(state(), "COM1 OFFLine closed 1");
        QCOMPARE(m_w->messages.shown().size(), 1);
        // What failed, the ports there are, and how to choose another.
        const QString refused = m_w->messages.shown().first();
        QVERIFY(refused.startsWith("COM1 (fake) could not be opened: no such device."));
        QVERIFY(refused.contains("Serial ports on this machine: fake."));
        QVERIFY(refused.contains("ENVMETER_COM1=/dev/ttyUSB0"));
        m_w->port.toggleLine();
        QCOMPARE(state(), "COM1 ONLine open 1");
    }

    // A device gone or silent: told, and the line stays open as the user left it until they
    // close it.
    void aLostOrSilentDeviceLeavesTheLineOpen() {
        m_w->port.switchCommPort();
        m_w->port.toggleLine();
        m_w->model.setBackColour(ControlId::receiveLamp, {255, 0, 0});
        m_w->line.loseDevice("device removed");
        QCOMPARE(state(), "COM1 ONLine open 1");
        QCOMPARE(m_w->model.control(ControlId::receiveLamp).backColour, (core::Rgb{0, 0, 255}));
        QVERIFY(m_w->messages.shown().last().contains("(device removed)"));
        QVERIFY(m_w->messages.shown().last().contains("reconnects by itself"));
        m_w->line.fallSilent();
        QVERIFY(m_w->messages.shown().last().startsWith("No data arrives on COM1 (fake)"));
        m_w->port.toggleLine();
        QCOMPARE(state(), "COM1 OFFLine closed 1");
    }
};

QTEST_GUILESS_MAIN(TestPortControl)
#include "tst_port_control.moc"
