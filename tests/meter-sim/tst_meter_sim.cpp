#include "meter/frame_decoder.h"

#include <QFileInfo>
#include <QProcess>
#include <QSerialPort>
#include <QTemporaryDir>
#include <QTest>

class TestMeterSim : public QObject {
    Q_OBJECT

  private slots:
    void cleanup();
    void sendsScriptInOrderOnASerialLine();
    void stopsCleanlyOnTerminate();

  private:
    /// Starts meter-sim and returns the port path it prints.
    QString start(const QStringList &arguments);

    QTemporaryDir m_dir;
    QProcess m_sim;
};

void TestMeterSim::cleanup() {
    m_sim.terminate();
    m_sim.waitForFinished(5000);
}

QString TestMeterSim::start(const QStringList &arguments) {
    m_sim.start(QStringLiteral(METER_SIM), arguments);
    if (!m_sim.waitForStarted(5000) || !m_sim.waitForReadyRead(5000))
        return QString();
    return QString::fromLocal8Bit(m_sim.readLine()).trimmed();
}

void TestMeterSim::sendsScriptInOrderOnASerialLine() {
    QFile script(m_dir.filePath("scenario.txt"));
    QVERIFY(script.open(QIODevice::WriteOnly));
    script.write("73.40 dB RS232\n_23.5 C\n-4.5 F HOLD\n350.0 LUX X10\n");
    script.close();
    const QStringList texts{"73.40", "23.5", "-4.5", "350.0"};
    const QString portPath = start({"--script", script.fileName(), "--loop", "--speed", "0"});
    QVERIFY(!portPath.isEmpty());

    QSerialPort port(portPath);
    port.setBaudRate(QSerialPort::Baud2400);
    QVERIFY2(port.open(QIODevice::ReadOnly), qPrintable(port.errorString()));

    // Wherever the stream was cut when the port opened, every frame after the first whole one
    // is the script's next reading: nothing lost, nothing out of order.
    QByteArray stream;
    QStringList received;
    while (received.size() < 12) {
        QVERIFY(port.bytesAvailable() > 0 || port.waitForReadyRead(5000));
        stream += port.readAll();
        while (const auto frame = meter::findFrame(stream, stream.size())) {
            received.append(meter::decodeFrame(*frame).ValueText);
            // The frame began at the first byte with the same value as its first.
            stream.remove(0, stream.indexOf(char(frame->bytes[0])) + meter::kFrameLength);
        }
    }
    const qsizetype first = texts.indexOf(received.first());
    QVERIFY(first >= 0);
    for (qsizetype i = 0; i < received.size(); ++i)
        QCOMPARE(received[i], texts[(first + i) % texts.size()]);
}

void TestMeterSim::stopsCleanlyOnTerminate() {
    const QString link = m_dir.filePath("COM1");
    const QString portPath = start({"--link", link});
    QCOMPARE(QFileInfo(link).symLinkTarget(), portPath);

    QSerialPort port(link);
    QVERIFY2(port.open(QIODevice::ReadOnly), qPrintable(port.errorString()));
    QVERIFY(port.waitForReadyRead(5000)); // the demo is on the line

    m_sim.terminate();
    QVERIFY(m_sim.waitForFinished(5000));
    QCOMPARE(m_sim.exitStatus(), QProcess::NormalExit);
    QCOMPARE(m_sim.exitCode(), 0);
    QVERIFY(!QFileInfo(link).isSymLink());
}

QTEST_GUILESS_MAIN(TestMeterSim)
#include "tst_meter_sim.moc"
