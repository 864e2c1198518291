#include "log/logging_lock.h"

#include "core/meter_settings.h"

#include <QDir>

namespace logbook {

LoggingLock::LoggingLock(const QString &directory)
    : m_file(QDir(directory).filePath(QStringLiteral("envmeter-logging.lock"))) {
    // Held for as long as readings are taken: only a holder that is gone makes it stale.
    m_file.setStaleLockTime(0);
}

bool LoggingLock::take() {
    if (m_file.isLocked())
        return true;
    if (!m_file.tryLock(0))
        return false;
    if (m_held)
        m_held(true);
    return true;
}

void LoggingLock::release() {
    if (!m_file.isLocked())
        return;
    m_file.unlock();
    if (m_held)
        m_held(false);
}

std::optional<QString> LoggingLock::otherHolder() {
    if (m_file.isLocked())
        return std::nullopt;
    if (m_file.tryLock(0)) {
        m_file.unlock();
        return std::nullopt;
    }
    qint64 pid = 0;
    QString host;
    QString application;
    if (!m_file.getLockInfo(&pid, &host, &application))
        return QStringLiteral("another program (%1)")
            .arg(QDir::toNativeSeparators(m_file.fileName()));
    return QStringLiteral("%1, process %2 on %3").arg(application).arg(pid).arg(host);
}

QString LoggingLock::refusal() {
    const std::optional<QString> holder = otherHolder();
    if (!holder)
        return {};
    return QStringLiteral("The log is being written by %1, and only one program may take readings "
                          "into it or change it at a time. Stop that program first (the logging "
                          "service stops with: systemctl --user stop %2), then try again.")
        .arg(*holder, core::loggerService(m_meterName));
}

} // namespace logbook
