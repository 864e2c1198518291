#pragma once

// The memory the running benchmark holds, for the programs that report it.

#include <QFile>

#include <unistd.h>

/// Resident memory of this process in megabytes.
inline double residentMegabytes() {
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    return statm.readAll().split(' ').value(1).toDouble() * double(sysconf(_SC_PAGESIZE)) /
           (1024.0 * 1024.0);
}
