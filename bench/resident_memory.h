#pragma once

// The memory the running benchmark holds, for the programs that report it.

#include <QFile>

#include <sys/resource.h>
#include <unistd.h>

/// Resident memory of this process, or of the process `pid`, in megabytes.
inline double residentMegabytes(qint64 pid = 0) {
    QFile statm(pid ? QStringLiteral("/proc/%1/statm").arg(pid)
                    : QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    return statm.readAll().split(' ').value(1).toDouble() * double(sysconf(_SC_PAGESIZE)) /
           (1024.0 * 1024.0);
}

/// The most resident memory this process has held, in megabytes.
inline double peakResidentMegabytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) / 1024.0;
}
