#pragma once

#include <QList>
#include <QString>

namespace meter {

/// A serial port the machine has.
struct SerialPortEntry {
    QString device;       ///< the name it is opened by: /dev/ttyUSB0, or a stable name
    QString description;  ///< what the system says it is ("FT232R USB UART"); may be empty
    bool adapter = false; ///< a USB-serial or CDC-ACM adapter rather than an on-board port
    friend bool operator==(const SerialPortEntry &, const SerialPortEntry &) = default;
};

/// The serial ports the system reports, and where it keeps the stable names of adapters.
class PortListing {
  public:
    virtual ~PortListing() = default;
    /// Adapters and on-board ports with a UART behind them, by their device names.
    virtual QList<SerialPortEntry> ports() const = 0;
    /// A folder of symbolic links to adapters named by vendor and serial number, which keep
    /// their name when the adapter is plugged in again (/dev/serial/by-id on Linux).
    virtual QString stableNamesFolder() const = 0;
};

/// The machine's ports as Qt finds them, and /dev/serial/by-id.
class SystemPortListing final : public PortListing {
  public:
    QList<SerialPortEntry> ports() const override;
    QString stableNamesFolder() const override;
};

/// The ports present in the order COM1, COM2, ... take them: adapters first, each under its
/// stable name where it has one, then on-board ports; each group by name.
QList<SerialPortEntry> portsInOrder(const PortListing &listing);

/// The device behind the port the user knows as COM1 or COM2 (portNumber 1 or 2): the path in
/// ENVMETER_COM1 / ENVMETER_COM2 where set (an adapter, a pseudo-terminal); otherwise on Linux
/// the first or second port present, and /dev/ttyS0 or /dev/ttyS1 when there is no such port;
/// COM1 or COM2 on Windows. Looked up afresh at each call, so an adapter plugged in since is
/// found.
QString devicePathForPort(int portNumber, const PortListing &listing);

/// The ports present for a message: each device with what the system says it is.
QString describePorts(const QList<SerialPortEntry> &ports);

} // namespace meter
