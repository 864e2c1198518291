#pragma once

#include <QString>

namespace meter {

/// The device behind the port the user knows as COM1 or COM2 (portNumber 1 or 2): the path in
/// ENVMETER_COM1 / ENVMETER_COM2 where set (a USB adapter, a pseudo-terminal), otherwise the
/// platform's first or second serial port (/dev/ttyS0, /dev/ttyS1 on Linux).
QString devicePathForPort(int portNumber);

} // namespace meter
