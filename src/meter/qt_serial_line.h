#pragma once

#include "meter/serial_line.h"

#include <QObject>

class QSerialPort;

namespace meter {

/// The serial line over QSerialPort, on the device devicePathForPort() names.
class QtSerialLine final : public QObject, public SerialLine {
    Q_OBJECT
  public:
    explicit QtSerialLine(QObject *parent = nullptr);

    void setPortNumber(int port) override { m_port = port; }
    int portNumber() const override { return m_port; }
    bool setSettings(const QString &settings) override;
    void setBinaryInput() override {}
    void setReceiveThreshold(int bytes) override { m_threshold = bytes; }

    bool open() override;
    void close() override;
    bool isOpen() const override;
    qint64 bytesWaiting() const override;
    QByteArray readAll() override;
    QString errorText() const override { return m_error; }
    QString portDescription() const override;

  private:
    void dataArrived();
    void failed();

    QSerialPort *m_serial;
    int m_port = 1;
    int m_threshold = 1;
    LineSettings m_settings{2400, 'n', 8, 1};
    QString m_error;
    bool m_recheckPending = false;
};

} // namespace meter
