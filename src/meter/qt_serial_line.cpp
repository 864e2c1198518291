#include "meter/qt_serial_line.h"

#include "meter/port_names.h"

#include <QSerialPort>
#include <QTimer>

namespace meter {

namespace {

// When the handler leaves bytes waiting (it may have been held back while a dialog was open),
// the event comes again after this pause rather than in a busy loop.
constexpr int kRecheckMs = 20;

QSerialPort::Parity parityOf(char parity) {
    switch (parity) {
    case 'e':
        return QSerialPort::EvenParity;
    case 'o':
        return QSerialPort::OddParity;
    case 'm':
        return QSerialPort::MarkParity;
    case 's':
        return QSerialPort::SpaceParity;
    default:
        return QSerialPort::NoParity;
    }
}

} // namespace

QtSerialLine::QtSerialLine(QObject *parent) : QObject(parent), m_serial(new QSerialPort(this)) {
    connect(m_serial, &QSerialPort::readyRead, this, &QtSerialLine::dataArrived);
    connect(m_serial, &QSerialPort::errorOccurred, this, [this](QSerialPort::SerialPortError e) {
        // A pseudo-terminal whose other side closed reports ReadError endlessly while it stays
        // open; a pulled adapter reports ResourceError. Either way the line is gone.
        if (e == QSerialPort::ReadError || e == QSerialPort::ResourceError)
            failed();
    });
}

QString QtSerialLine::portDescription() const {
    return QStringLiteral("COM%1 (%2)").arg(m_port).arg(devicePathForPort(m_port));
}

bool QtSerialLine::setSettings(const QString &settings) {
    const std::optional<LineSettings> parsed = parseLineSettings(settings);
    if (!parsed)
        return false;
    m_settings = *parsed;
    return true;
}

bool QtSerialLine::open() {
    if (m_serial->isOpen())
        return true;
    m_error.clear();
    m_serial->setPortName(devicePathForPort(m_port));
    if (!m_serial->open(QIODevice::ReadOnly)) {
        m_error = m_serial->errorString();
        if (m_serial->error() == QSerialPort::PermissionError)
            m_error += QStringLiteral(" (the port may be in use by another program; a user also "
                                      "needs to be in the group dialout)");
        return false;
    }
    const bool settingsTaken =
        m_serial->setBaudRate(m_settings.baud) &&
        m_serial->setDataBits(QSerialPort::DataBits(m_settings.dataBits)) &&
        m_serial->setParity(parityOf(m_settings.parity)) &&
        m_serial->setStopBits(m_settings.stopBits == 2 ? QSerialPort::TwoStop
                                                       : QSerialPort::OneStop);
    if (!settingsTaken) {
        m_error = QStringLiteral("the port refuses the settings: %1").arg(m_serial->errorString());
        m_serial->close();
        return false;
    }
    // Bytes that came before the port was opened were read with other settings.
    m_serial->clear(QSerialPort::Input);
    return true;
}

void QtSerialLine::close() {
    if (m_serial->isOpen())
        m_serial->close();
}

bool QtSerialLine::isOpen() const { return m_serial->isOpen(); }

qint64 QtSerialLine::bytesWaiting() const {
    return m_serial->isOpen() ? m_serial->bytesAvailable() : 0;
}

QByteArray QtSerialLine::readAll() { return m_serial->readAll(); }

void QtSerialLine::dataArrived() {
    if (!m_serial->isOpen() || m_serial->bytesAvailable() < m_threshold)
        return;
    raiseReceive();
    if (m_serial->isOpen() && m_serial->bytesAvailable() >= m_threshold && !m_recheckPending) {
        m_recheckPending = true;
        QTimer::singleShot(kRecheckMs, this, [this] {
            m_recheckPending = false;
            dataArrived();
        });
    }
}

void QtSerialLine::failed() {
    if (!m_serial->isOpen())
        return;
    const QString reason = m_serial->errorString();
    m_serial->close();
    // Told after the port's own callback has returned, so a message box cannot re-enter it.
    QTimer::singleShot(0, this, [this, reason] { raiseLost(reason); });
}

} // namespace meter
