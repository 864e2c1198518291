// Until the main window exists, the program listens on COM1 and prints every decoded reading
// as a line, so the whole path from the meter's line to a Reading can be watched.
#include "core/number_text.h"
#include "meter/frame_decoder.h"
#include "meter/port_names.h"

#include <QCoreApplication>
#include <QSerialPort>
#include <QTextStream>

namespace {

constexpr qint64 kReceiveThreshold = 28; // two frames: a whole frame is always among them

QString describe(const meter::Reading &r) {
    QString line = QStringLiteral("%1 %2 %3 value %4")
                       .arg(r.Function.isEmpty() ? QStringLiteral("-") : r.Function, -8)
                       .arg(r.ValueText, 7)
                       .arg(r.Unit, -3)
                       .arg(core::singleText(r.Value));
    const std::pair<bool, const char *> annunciators[] = {{r.Rs232, "RS232"},
                                                          {r.Hold, "HOLD"},
                                                          {r.X10, "X10"},
                                                          {r.LowBattery, "LOWBAT"},
                                                          {r.LightOverload, "L-OVER"},
                                                          {r.SoundOverload, "S-OVER"}};
    for (const auto &[on, name] : annunciators) {
        if (on)
            line += u' ' + QLatin1String(name);
    }
    return line;
}

} // namespace

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);

    QSerialPort port;
    port.setPortName(meter::devicePathForPort(1));
    port.setBaudRate(QSerialPort::Baud2400);
    port.setDataBits(QSerialPort::Data8);
    port.setParity(QSerialPort::NoParity);
    port.setStopBits(QSerialPort::OneStop);
    if (!port.open(QIODevice::ReadOnly)) {
        QTextStream(stderr) << "COM1 (" << port.portName()
                            << ") cannot be opened: " << port.errorString() << Qt::endl;
        return 1;
    }
    // Bytes that arrived before the port was set up are mangled: start clean.
    port.clear(QSerialPort::Input);
    out << "Listening on COM1 (" << port.portName() << ")" << Qt::endl;

    QObject::connect(&port, &QSerialPort::readyRead, &app, [&] {
        const qint64 count = port.bytesAvailable();
        if (count < kReceiveThreshold)
            return;
        const QByteArray chunk = port.readAll();
        if (const auto frame = meter::findFrame(chunk, count))
            out << describe(meter::decodeFrame(*frame)) << Qt::endl;
    });
    QObject::connect(&port, &QSerialPort::errorOccurred, &app, [&](QSerialPort::SerialPortError e) {
        if (e != QSerialPort::ReadError && e != QSerialPort::ResourceError)
            return;
        QTextStream(stderr) << "COM1 lost: " << port.errorString() << Qt::endl;
        port.close();
        app.exit(1);
    });
    return app.exec();
}
