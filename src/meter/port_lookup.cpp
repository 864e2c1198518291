#include "meter/port_lookup.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QSerialPortInfo>

#include <algorithm>

namespace meter {

QList<SerialPortEntry> SystemPortListing::ports() const {
    QList<SerialPortEntry> ports;
    for (const QSerialPortInfo &info : QSerialPortInfo::availablePorts()) {
        const QString name = info.portName();
        const bool adapter = name.startsWith(QLatin1String("ttyUSB")) ||
                             name.startsWith(QLatin1String("ttyACM")) || info.hasVendorIdentifier();
        ports.append({info.systemLocation(), info.description(), adapter});
    }
    return ports;
}

QString SystemPortListing::stableNamesFolder() const { return QStringLiteral("/dev/serial/by-id"); }

QList<SerialPortEntry> portsInOrder(const PortListing &listing) {
    QList<SerialPortEntry> ports = listing.ports();
    // Each stable name by the device it leads to.
    QHash<QString, QString> stableNames;
    const QDir stable(listing.stableNamesFolder());
    for (const QFileInfo &link : stable.entryInfoList(QDir::System | QDir::Files, QDir::Name)) {
        const QString device = link.canonicalFilePath();
        if (link.isSymLink() && !device.isEmpty() && !stableNames.contains(device))
            stableNames.insert(device, link.absoluteFilePath());
    }
    for (SerialPortEntry &port : ports) {
        if (port.adapter)
            port.device =
                stableNames.value(QFileInfo(port.device).canonicalFilePath(), port.device);
    }
    std::stable_sort(ports.begin(), ports.end(),
                     [](const SerialPortEntry &a, const SerialPortEntry &b) {
                         if (a.adapter != b.adapter)
                             return a.adapter;
                         return a.device < b.device;
                     });
    return ports;
}

QString devicePathForPort(int portNumber, const PortListing &listing) {
    const QString number = QString::number(portNumber);
    const QString configured =
        qEnvironmentVariable(qPrintable(QStringLiteral("ENVMETER_COM") + number));
    if (!configured.isEmpty())
        return configured;
#ifdef Q_OS_WIN
    Q_UNUSED(listing)
    return QStringLiteral("COM") + number;
#else
    const QList<SerialPortEntry> present = portsInOrder(listing);
    if (portNumber >= 1 && portNumber <= present.size())
        return present[portNumber - 1].device;
    return QStringLiteral("/dev/ttyS") + QString::number(portNumber - 1);
#endif
}

QString describePorts(const QList<SerialPortEntry> &ports) {
    QStringList described;
    for (const SerialPortEntry &port : ports)
        described.append(port.description.isEmpty()
                             ? port.device
                             : QStringLiteral("%1 (%2)").arg(port.device, port.description));
    return described.join(QStringLiteral(", "));
}

} // namespace meter
