#include "meter/port_names.h"

namespace meter {

QString devicePathForPort(int portNumber) {
    const QString number = QString::number(portNumber);
    const QString configured =
        qEnvironmentVariable(qPrintable(QStringLiteral("ENVMETER_COM") + number));
    if (!configured.isEmpty())
        return configured;
#ifdef Q_OS_WIN
    return QStringLiteral("COM") + number;
#else
    return QStringLiteral("/dev/ttyS") + QString::number(portNumber - 1);
#endif
}

} // namespace meter
