#include "meter/port_lookup.h"
#include "test_files.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

/// A machine's ports as a test says they are; stable names are links in a folder of its own.
struct Listing final : meter::PortListing {
    QList<meter::SerialPortEntry> present;
    QString folder;
    QList<meter::SerialPortEntry> ports() const override { return present; }
    QString stableNamesFolder() const override { return folder; }
};

} // namespace

// Which devices COM1 and COM2 are when no variable names them.
class TestPortLookup : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    Listing m_listing;

    QString device(const QString &name) {
        writeFile(m_dir.filePath(name), {});
        return m_dir.filePath(name);
    }

  private slots:
    void init() {
        qunsetenv("ENVMETER_COM1");
        qunsetenv("ENVMETER_COM2");
        m_listing = {};
        m_listing.folder = m_dir.filePath("by-id");
        QDir().mkpath(m_listing.folder);
    }

    // Adapters first, under the stable name that survives a replug, then on-board ports; the
    // first serial ports where there are too few.
    void ordersAdaptersFirstByTheirStableNames() {
        const QString usb = device("ttyUSB0");
        const QString acm = device("ttyACM0");
        const QString onBoard = device("ttyS0");
        const QString stable = m_listing.folder + "/usb-FTDI_FT232R_USB_UART_A10K-if00-port0";
        QVERIFY(QFile::link(usb, stable));
        QVERIFY(QFile::link(m_dir.filePath("elsewhere"), m_listing.folder + "/usb-gone"));
        m_listing.present = {
            {onBoard, {}, false}, {usb, "FT232R USB UART", true}, {acm, "Meter CDC", true}};
        const QList<meter::SerialPortEntry> ordered = meter::portsInOrder(m_listing);
        QCOMPARE(ordered, (QList<meter::SerialPortEntry>{{stable, "FT232R USB UART", true},
                                                         {acm, "Meter CDC", true},
                                                         {onBoard, {}, false}}));
        QCOMPARE(meter::devicePathForPort(1, m_listing), stable);
        QCOMPARE(meter::devicePathForPort(2, m_listing), acm);
        QCOMPARE(meter::describePorts(ordered.mid(1)),
                 QStringLiteral("%1 (Meter CDC), %2").arg(acm, onBoard));
        qputenv("ENVMETER_COM2", "/dev/pts/7");
        QCOMPARE(meter::devicePathForPort(2, m_listing), "/dev/pts/7");
        // With fewer ports than the number, the platform's first and second serial port.
        m_listing.present = {{usb, {}, true}};
        QCOMPARE(meter::devicePathForPort(1, m_listing), stable);
        qunsetenv("ENVMETER_COM2");
        QCOMPARE(meter::devicePathForPort(2, m_listing), "/dev/ttyS1");
    }
};

QTEST_GUILESS_MAIN(TestPortLookup)
#include "tst_port_lookup.moc"
