#include "meter/qt_serial_line.h"

#include <QTest>

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

class TestSerialLine : public QObject {
    Q_OBJECT

    int m_master = -1;

    void writeToLine(int bytes, char byte = '\x15') {
        const QByteArray data(bytes, byte);
        QCOMPARE(::write(m_master, data.constData(), std::size_t(data.size())), bytes);
    }

  private slots:
    void init() {
        m_master = ::posix_openpt(O_RDWR | O_NOCTTY);
        QVERIFY(m_master >= 0);
        QVERIFY(::grantpt(m_master) == 0 && ::unlockpt(m_master) == 0);
        qputenv("ENVMETER_COM1", ::ptsname(m_master));
    }

    void cleanup() {
        if (m_master >= 0)
            ::close(m_master);
        m_master = -1;
    }

    void readsLineSettings_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("valid");
        QTest::newRow("the meter's") << "2400,n,8,1" << true;
        QTest::newRow("spaced, upper case") << " 9600 , E , 7 , 2 " << true;
        QTest::newRow("three fields") << "2400,n,8" << false;
        QTest::newRow("no baud") << ",n,8,1" << false;
        QTest::newRow("parity x") << "2400,x,8,1" << false;
        QTest::newRow("nine bits") << "2400,n,9,1" << false;
        QTest::newRow("stop 3") << "2400,n,8,3" << false;
    }
    void readsLineSettings() {
        QFETCH(QString, text);
        QFETCH(bool, valid);
        QCOMPARE(meter::parseLineSettings(text).has_value(), valid);
        if (text == "2400,n,8,1")
            QCOMPARE(*meter::parseLineSettings(text), (meter::LineSettings{2400, 'n', 8, 1}));
    }

    // The event comes once the threshold waits, and again while bytes are left unread. An
    // event handled late takes its threshold of bytes only: those that came meanwhile begin the
    // next chunk, so the line is cut into chunks where it always was.
    void raisesTheReceiveEventAtTheThreshold() {
        meter::QtSerialLine line;
        int events = 0;
        bool readOnEvent = false;
        line.setReceiveHandler([&] {
            ++events;
            if (readOnEvent)
                line.readAll();
        });
        QVERIFY(line.setSettings("2400,n,8,1"));
        line.setReceiveThreshold(28);
        QVERIFY2(line.open(), qPrintable(line.errorText()));
        writeToLine(20);
        QTRY_COMPARE(line.bytesWaiting(), 20);
        QCOMPARE(events, 0);
        writeToLine(8);
        QTRY_VERIFY(events >= 2); // not read: raised again
        readOnEvent = true;
        QTRY_COMPARE(line.bytesWaiting(), 0);
        const int settled = events;
        QTest::qWait(100);
        QCOMPARE(events, settled);

        QStringList chunks;
        line.setReceiveHandler([&] { chunks.append(QString::fromLatin1(line.readAll())); });
        writeToLine(28, 'a');
        writeToLine(8, 'b');
        QTRY_COMPARE(chunks, QStringList{QString(28, u'a')});
        writeToLine(20, 'c');
        QTRY_COMPARE(chunks.size(), 2);
        QCOMPARE(chunks[1], QString(8, u'b') + QString(20, u'c'));
    }

    // A line that brings nothing is told of once, and again only after bytes came and stopped.
    void tellsASilentLine() {
        meter::QtSerialLine line;
        line.setSilenceLimit(200);
        int silent = 0;
        line.setSilentHandler([&] { ++silent; });
        QVERIFY(line.open());
        QTRY_COMPARE(silent, 1);
        QTest::qWait(400);
        QCOMPARE(silent, 1);
        writeToLine(5);
        QTRY_COMPARE(line.bytesWaiting(), 5);
        QTRY_COMPARE(silent, 2);
    }

    void namesThePortAndDeviceThatCannotOpen() {
        meter::QtSerialLine line;
        line.setPortNumber(2);
        qputenv("ENVMETER_COM2", "/dev/no-such-meter");
        QVERIFY(!line.open());
        QCOMPARE(line.portDescription(), "COM2 (/dev/no-such-meter)");
        QVERIFY(!line.errorText().isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestSerialLine)
#include "tst_serial_line.moc"
