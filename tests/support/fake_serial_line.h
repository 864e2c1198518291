#pragma once

#include "meter/serial_line.h"

namespace meter {

/// An in-memory serial line for tests: bytes are delivered by hand and raise the receive
/// event as the real line does.
class FakeSerialLine final : public SerialLine {
  public:
    void setPortNumber(int port) override { m_port = port; }
    int portNumber() const override { return m_port; }
    bool setSettings(const QString &settings) override;
    void setBinaryInput() override { m_binary = true; }
    void setReceiveThreshold(int bytes) override { m_threshold = bytes; }
    bool open() override;
    void close() override { m_open = false; }
    bool isOpen() const override { return m_open; }
    qint64 bytesWaiting() const override { return m_waiting.size(); }
    QByteArray readAll() override;
    QString errorText() const override { return QStringLiteral("no such device"); }
    QString portDescription() const override { return QStringLiteral("COM%1 (fake)").arg(m_port); }
    QString portsPresent() const override { return QStringLiteral("fake"); }

    /// Bytes arriving on the line; raises the receive event when the threshold is reached.
    void deliver(const QByteArray &bytes);
    /// The next open() fails.
    void refuseNextOpen() { m_refuse = true; }
    /// The device goes away while the line is open, or no byte has come for a while.
    void loseDevice(const QString &reason) { raiseLost(reason); }
    void fallSilent() { raiseSilent(); }

    int threshold() const { return m_threshold; }
    const QString &settings() const { return m_settings; }
    bool binary() const { return m_binary; }
    int opens() const { return m_opens; }

  private:
    int m_port = 1;
    int m_threshold = 1;
    QString m_settings;
    bool m_binary = false;
    bool m_open = false;
    bool m_refuse = false;
    int m_opens = 0;
    QByteArray m_waiting;
};

} // namespace meter
