#include "meter/qt_serial_line.h"

#include <QSerialPort>
#include <QTimer>

#include <algorithm>

#ifdef Q_OS_UNIX
#include <sys/ioctl.h>
#include <termios.h>
#endif

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

QtSerialLine::QtSerialLine(std::unique_ptr<PortListing> listing, QObject *parent)
    : QObject(parent),
      m_listing(listing ? std::move(listing) : std::make_unique<SystemPortListing>()),
      m_serial(new QSerialPort(this)), m_reconnect(new QTimer(this)), m_silence(new QTimer(this)) {
    connect(m_serial, &QSerialPort::readyRead, this, &QtSerialLine::bytesCame);
    connect(m_serial, &QSerialPort::errorOccurred, this, [this](QSerialPort::SerialPortError e) {
        // A pseudo-terminal whose other side closed reports ReadError endlessly while it stays
        // open; a pulled adapter reports ResourceError. Either way the device is gone.
        if (e == QSerialPort::ReadError || e == QSerialPort::ResourceError)
            failed();
    });
    m_reconnect->setSingleShot(true);
    m_reconnect->setInterval(kReconnectMs);
    connect(m_reconnect, &QTimer::timeout, this, &QtSerialLine::reconnect);
    m_silence->setSingleShot(true);
    connect(m_silence, &QTimer::timeout, this, &QtSerialLine::watchSilence);
}

QString QtSerialLine::devicePath() const {
    return m_namedDevice.isEmpty() ? devicePathForPort(m_port, *m_listing) : m_namedDevice;
}

QString QtSerialLine::portDescription() const {
    if (!m_namedDevice.isEmpty())
        return m_namedDevice;
    return QStringLiteral("COM%1 (%2)")
        .arg(m_port)
        .arg(m_device.isEmpty() ? devicePath() : m_device);
}

SerialLine &givenOrMachineLine(SerialLine *given, std::unique_ptr<SerialLine> &machine) {
    if (given)
        return *given;
    machine = std::make_unique<QtSerialLine>();
    return *machine;
}

QString QtSerialLine::portsPresent() const { return describePorts(portsInOrder(*m_listing)); }

bool QtSerialLine::setSettings(const QString &settings) {
    const std::optional<LineSettings> parsed = parseLineSettings(settings);
    if (!parsed)
        return false;
    m_settings = *parsed;
    return true;
}

bool QtSerialLine::open() {
    if (m_open)
        return true;
    m_device = devicePath();
    if (!openDevice())
        return false;
    m_open = true;
    return true;
}

bool QtSerialLine::openDevice() {
    m_error.clear();
    m_serial->setPortName(m_device);
    if (!m_serial->open(QIODevice::ReadOnly)) {
        m_error = m_serial->errorString();
        if (m_serial->error() == QSerialPort::PermissionError)
            m_error += QStringLiteral(
                " (the port may be in use by another program; to open serial ports a user must "
                "be in the group dialout: sudo usermod -aG dialout $USER, then log in again)");
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
    wakeAtThreshold();
    // Bytes that came before the port was opened were read with other settings.
    m_serial->clear(QSerialPort::Input);
    m_toldSilent = false;
    m_sinceData.start();
    m_silence->start(m_silenceLimitMs);
    return true;
}

void QtSerialLine::setReceiveThreshold(int bytes) {
    m_threshold = bytes;
    if (m_serial->isOpen())
        wakeAtThreshold();
}

void QtSerialLine::wakeAtThreshold() {
    // The port takes the bytes from the system in units of the threshold, each as it is
    // complete. A receive event handled late (the window busy painting, the machine busy) leaves
    // the bytes that came meanwhile to the next unit: taking them into this chunk would cut the
    // display they begin in two and cost that reading, and the lost share would grow with every
    // millisecond the program is late.
    m_serial->setReadBufferSize(m_threshold);
#ifdef Q_OS_UNIX
    // The system itself waits for the threshold of bytes before it wakes the program, rather
    // than at every byte of the line (a byte comes every 4 ms at 2400 baud).
    termios settings{};
    if (::tcgetattr(int(m_serial->handle()), &settings) != 0)
        return;
    settings.c_cc[VMIN] = cc_t(std::clamp(m_threshold, 1, 255));
    settings.c_cc[VTIME] = 0;
    ::tcsetattr(int(m_serial->handle()), TCSANOW, &settings);
#endif
}

void QtSerialLine::close() {
    m_open = false;
    m_toldLost = false;
    m_reconnect->stop();
    m_silence->stop();
    if (m_serial->isOpen())
        m_serial->close();
}

qint64 QtSerialLine::bytesWaiting() const {
    if (!m_serial->isOpen())
        return 0;
    return m_serial->bytesAvailable() + bytesInSystem();
}

int QtSerialLine::bytesInSystem() const {
    int inSystem = 0;
#ifdef Q_OS_UNIX
    // Bytes below the threshold wait in the system, which has not woken the program for them.
    if (m_serial->isOpen() && ::ioctl(int(m_serial->handle()), FIONREAD, &inSystem) != 0)
        inSystem = 0;
#endif
    return inSystem;
}

QByteArray QtSerialLine::readAll() { return m_serial->readAll(); }

void QtSerialLine::bytesCame() {
    m_sinceData.start();
    m_toldSilent = false;
    m_toldLost = false;
    if (!m_silence->isActive())
        m_silence->start(m_silenceLimitMs);
    offerBytes();
}

void QtSerialLine::offerBytes() {
    if (!m_serial->isOpen() || m_serial->bytesAvailable() < m_threshold)
        return;
    raiseReceive();
    if (m_serial->isOpen() && m_serial->bytesAvailable() >= m_threshold && !m_recheckPending) {
        m_recheckPending = true;
        QTimer::singleShot(kRecheckMs, this, [this] {
            m_recheckPending = false;
            offerBytes();
        });
    }
}

void QtSerialLine::failed() {
    if (!m_serial->isOpen())
        return;
    // The system's words for a device that went (EIO, or ENOTTY for a pseudo-terminal whose
    // other side closed) say little to a user.
    const QString reason =
        QStringLiteral("unplugged, or closed at its other end: %1").arg(m_serial->errorString());
    m_serial->close();
    m_silence->stop();
    m_reconnect->start();
    // Told once, however often a device that comes back half-alive goes again before it brings
    // a byte; and after the port's own callback has returned, so a message cannot re-enter it.
    if (m_toldLost)
        return;
    m_toldLost = true;
    m_toldBack = false;
    QTimer::singleShot(0, this, [this, reason] {
        if (m_open)
            raiseLost(reason);
    });
}

void QtSerialLine::reconnect() {
    if (!m_open)
        return;
    // Looked up again: an adapter plugged in again may have another device name, though its
    // stable name stays.
    m_device = devicePath();
    if (!openDevice()) {
        m_reconnect->start();
        return;
    }
    // Told once for each loss that was told.
    if (m_toldLost && !m_toldBack) {
        m_toldBack = true;
        raiseBack();
    }
}

void QtSerialLine::watchSilence() {
    if (!m_open || !m_serial->isOpen() || m_toldSilent)
        return;
    const qint64 quiet = m_sinceData.elapsed();
    if (quiet < m_silenceLimitMs) {
        m_silence->start(int(m_silenceLimitMs - quiet));
        return;
    }
    m_toldSilent = true;
    raiseSilent();
}

} // namespace meter
