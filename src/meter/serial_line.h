#pragma once

#include <QByteArray>
#include <QString>

#include <functional>
#include <optional>

namespace meter {

/// Line parameters as the program writes them: "2400,n,8,1".
struct LineSettings {
    int baud = 0;
    char parity = 'n'; ///< n, e, o, m or s
    int dataBits = 8;  ///< 5 to 8
    int stopBits = 1;  ///< 1 or 2
    friend bool operator==(const LineSettings &, const LineSettings &) = default;
};

/// Reads "baud,parity,data bits,stop bits"; nothing for a text that is not such a setting.
std::optional<LineSettings> parseLineSettings(const QString &text);

/// The serial line to the meter: port 1 or 2, its settings, and a receive event raised once at
/// least the threshold of bytes wait (and again while they still do after the handler
/// returned). The program only listens: nothing is ever written to the line.
///
/// Once opened, the line stays open until it is closed, even while its device is gone: it
/// then tells so once and reconnects by itself when the device is back.
class SerialLine {
  public:
    /// A line open that brings nothing for this long is told of.
    static constexpr int kSilenceLimitMs = 10000;

    virtual ~SerialLine() = default;

    virtual void setPortNumber(int port) = 0;
    virtual int portNumber() const = 0;
    /// False, and the settings unchanged, when the text is malformed.
    virtual bool setSettings(const QString &settings) = 0;
    /// Bytes are delivered as they come; there is no text mode to leave.
    virtual void setBinaryInput() = 0;
    virtual void setReceiveThreshold(int bytes) = 0;

    /// False when the port cannot be opened; errorText() says why.
    virtual bool open() = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    virtual qint64 bytesWaiting() const = 0;
    virtual QByteArray readAll() = 0;
    /// The port as the user knows it and its device, and the system's reason for the last
    /// failure, for messages.
    virtual QString errorText() const = 0;
    virtual QString portDescription() const = 0;
    /// The serial ports the machine has, for messages; empty when it has none.
    virtual QString portsPresent() const = 0;

    /// The receive event.
    void setReceiveHandler(std::function<void()> handler) { m_receive = std::move(handler); }
    /// The device went away while open (an adapter pulled out); raised once, never from inside
    /// the port's own callback. The line stays open and waits for the device to come back.
    void setLostHandler(std::function<void(const QString &reason)> handler) {
        m_lost = std::move(handler);
    }
    /// The line is open but no byte has come for a while; raised once, and again only after
    /// bytes have come and stopped again.
    void setSilentHandler(std::function<void()> handler) { m_silent = std::move(handler); }
    /// The device that went away is back and the line takes readings again.
    void setBackHandler(std::function<void()> handler) { m_back = std::move(handler); }

  protected:
    void raiseReceive() const {
        if (m_receive)
            m_receive();
    }
    void raiseLost(const QString &reason) const {
        if (m_lost)
            m_lost(reason);
    }
    void raiseSilent() const {
        if (m_silent)
            m_silent();
    }
    void raiseBack() const {
        if (m_back)
            m_back();
    }

  private:
    std::function<void()> m_receive;
    std::function<void(const QString &)> m_lost;
    std::function<void()> m_silent;
    std::function<void()> m_back;
};

} // namespace meter
