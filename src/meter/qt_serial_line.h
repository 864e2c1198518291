#pragma once

#include "meter/port_lookup.h"
#include "meter/serial_line.h"

#include <QElapsedTimer>
#include <QObject>

#include <memory>

class QSerialPort;
class QTimer;

namespace meter {

/// The serial line over QSerialPort, on the device devicePathForPort() names at each opening.
/// A device that goes away is tried again about once a second until it is back or the line
/// is closed; a line that brings nothing for the silence limit is told of.
class QtSerialLine final : public QObject, public SerialLine {
    Q_OBJECT
  public:
    static constexpr int kReconnectMs = 1000;

    /// Without a listing of the caller's, the machine's ports are looked up.
    explicit QtSerialLine(std::unique_ptr<PortListing> listing = {}, QObject *parent = nullptr);

    void setPortNumber(int port) override { m_port = port; }
    /// Opens this device whatever the port number, and messages name it as given.
    void setDevice(const QString &path) { m_namedDevice = path; }
    int portNumber() const override { return m_port; }
    bool setSettings(const QString &settings) override;
    void setBinaryInput() override {}
    void setReceiveThreshold(int bytes) override;
    /// The silence told of, shorter in tests.
    void setSilenceLimit(int ms) { m_silenceLimitMs = ms; }

    bool open() override;
    void close() override;
    bool isOpen() const override { return m_open; }
    qint64 bytesWaiting() const override;
    QByteArray readAll() override;
    QString errorText() const override { return m_error; }
    QString portDescription() const override;
    QString portsPresent() const override;

  private:
    bool openDevice();
    /// The named device, or the one the port number stands for now.
    QString devicePath() const;
    void wakeAtThreshold();
    /// Bytes the system holds that the port has not read yet.
    int bytesInSystem() const;
    void bytesCame();
    /// Raises the receive event while the threshold of bytes waits.
    void offerBytes();
    void failed();
    void reconnect();
    void watchSilence();

    std::unique_ptr<PortListing> m_listing;
    QSerialPort *m_serial;
    QTimer *m_reconnect;
    QTimer *m_silence;
    int m_port = 1;
    int m_threshold = 1;
    int m_silenceLimitMs = kSilenceLimitMs;
    LineSettings m_settings{2400, 'n', 8, 1};
    QString m_device; ///< as looked up for the last opening
    QString m_namedDevice;
    QString m_error;
    bool m_open = false;
    bool m_recheckPending = false;
    bool m_toldSilent = false;
    bool m_toldLost = false;
    bool m_toldBack = false;
    QElapsedTimer m_sinceData;
};

/// The line a caller gives (a test's), or else the machine's own, made and kept in `machine`.
SerialLine &givenOrMachineLine(SerialLine *given, std::unique_ptr<SerialLine> &machine);

} // namespace meter
