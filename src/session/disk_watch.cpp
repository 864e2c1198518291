#include "session/disk_watch.h"

#include <QDir>
#include <QLocale>
#include <QStorageInfo>

namespace session {

namespace {

constexpr double kDaySeconds = 86400;
constexpr double kWeekSeconds = 7 * kDaySeconds;

QString lasting(double seconds) {
    if (seconds >= 2 * kDaySeconds)
        return QStringLiteral("about %1 days").arg(qRound(seconds / kDaySeconds));
    if (seconds >= 2 * 3600)
        return QStringLiteral("about %1 hours").arg(qRound(seconds / 3600));
    return QStringLiteral("about %1 minutes").arg(qMax(1, qRound(seconds / 60)));
}

} // namespace

std::optional<QString> DiskWatch::readingLogged(qint64 ms) {
    if (!m_since) {
        m_since = ms;
        m_readings = 0;
        return std::nullopt;
    }
    ++m_readings;
    const qint64 elapsed = ms - *m_since;
    if (elapsed < kCheckMs)
        return std::nullopt;
    const double rate = double(m_readings) * 1000 / double(elapsed);
    m_since = ms;
    m_readings = 0;
    return spaceLeft(rate);
}

std::optional<QString> DiskWatch::spaceLeft(double readingsPerSecond) {
    const QStorageInfo disk(m_folder);
    if (!disk.isValid() || readingsPerSecond <= 0)
        return std::nullopt;
    const qint64 free = disk.bytesAvailable();
    const double seconds = double(free) / (readingsPerSecond * kBytesPerReading);
    const Told now = seconds < kDaySeconds    ? Told::Day
                     : seconds < kWeekSeconds ? Told::Week
                                              : Told::Nothing;
    if (now <= m_told) {
        if (now == Told::Nothing)
            m_told = Told::Nothing;
        return std::nullopt;
    }
    m_told = now;
    return QStringLiteral("The disk of %1 has %2 left: %3 of logging at the rate logged now "
                          "(%4 readings a second). Free space there, move kept backups "
                          "(maxdb1-*.mdb) to another disk, or log into a folder on another "
                          "disk (envmeter-logger --data FOLDER).")
        .arg(QDir::toNativeSeparators(m_folder), QLocale::c().formattedDataSize(free),
             lasting(seconds), QString::number(readingsPerSecond, 'f', 1));
}

} // namespace session
